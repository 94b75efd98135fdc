#include "state/shared_state.h"

namespace corvane::state {

SharedState::SharedState(Configuration configuration,
                         std::shared_ptr<platform::HttpTransport> transport)
    : configuration(std::move(configuration)), webClient(std::move(transport)) {}

}  // namespace corvane::state

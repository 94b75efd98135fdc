// Out-of-line destructors anchor the transport interfaces' virtual tables here.
#include "platform/http_transport.h"

namespace corvane::platform {

HttpRequestObject::~HttpRequestObject() = default;
HttpTransport::~HttpTransport() = default;

}  // namespace corvane::platform

// The process-wide values that the collection, the filter and the export share. Program entry
// creates one SharedState and hands it to the code that uses it; nothing is global.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http_transport.h"
#include "platform/thread.h"
#include "state/configuration.h"
#include "state/seen_item_set.h"
#include "web/web_client.h"

namespace corvane::state {

// Columns 1 to 7 of the result list, one array per column in column order: title,
// promotionCount30Day, paidCommission30Day, unitPrice, commission, commissionRate, link.
inline constexpr int kResultColumnCount = 7;
using ResultColumns = std::array<std::vector<std::string>, kResultColumnCount>;

class SharedState {
 public:
  explicit SharedState(
      Configuration configuration = {},
      std::shared_ptr<platform::HttpTransport> transport = platform::CurlTransport());

  const Configuration configuration;

  // Written by the sign-in before the main window opens; during a run only its worker reads
  // the token and rewrites the cookies (each answer's Set-Cookie pairs are merged in).
  std::string sessionCookies;
  std::string sessionToken;

  SeenItemSet seenItems;  // thread-safe on its own
  const web::WebClient webClient;

  // Held while one answer's rows are appended and while the keyword filter rebuilds the list,
  // so the list, its column mirrors and the page count always change page by page, never
  // interleaved. Whoever holds it may notify list observers, which must not take it again.
  std::mutex resultsMutex;
  ResultColumns resultColumns;  // guarded by resultsMutex
  std::string totalPagesText;   // guarded by resultsMutex

  // The worker of the latest run; replaced (and so released) by the next run.
  platform::ThreadHandle workerThreadHandle;
};

}  // namespace corvane::state

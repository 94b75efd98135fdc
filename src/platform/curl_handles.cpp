#include "platform/curl_handles.h"

namespace corvane::platform::curl {

namespace {

class GlobalInit {
 public:
  GlobalInit() { curl_global_init(CURL_GLOBAL_DEFAULT); }
  ~GlobalInit() { curl_global_cleanup(); }
  GlobalInit(const GlobalInit&) = delete;
  GlobalInit& operator=(const GlobalInit&) = delete;
};

}  // namespace

void EnsureGlobalInit() {
  static const GlobalInit init;
}

}  // namespace corvane::platform::curl

#include "platform/download.h"

#include "platform/http_transport.h"

namespace corvane::platform {

Bytes Download(const std::string& url, int timeoutMs) {
  const auto request = CurlTransport(/*reuseConnections=*/false)->CreateRequest();
  if (!request) return {};
  const int limit = timeoutMs > 0 ? timeoutMs : 0;
  request->SetTimeouts(limit, limit, limit, limit);
  if (!request->Open("GET", url) || !request->Send({})) return {};
  const int status = request->Status();
  if (status < 200 || status > 299) return {};
  return request->ResponseBody();
}

}  // namespace corvane::platform

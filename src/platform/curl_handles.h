// Owning handles for the libcurl objects the transport uses, and the one-time library set-up.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace corvane::platform::curl {

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// Appends one line; false (list unchanged) when libcurl cannot allocate.
inline bool Append(Slist& list, const char* line) {
  curl_slist* head = curl_slist_append(list.get(), line);
  if (head == nullptr) return false;
  (void)list.release();
  list.reset(head);
  return true;
}

// Initialises libcurl once per process, before the first handle; cleans it up at exit.
void EnsureGlobalInit();

}  // namespace corvane::platform::curl

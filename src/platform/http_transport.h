// The HTTP transport: one request object per request, driven step by step like a scriptable
// HTTP request object (time-outs, proxy, open, headers, a synchronous send, then the body and
// the header text of the answer). Calls that cannot be honoured report false and change
// nothing; the caller goes on regardless. Interfaces only, so that the web client can be run
// against a scripted transport as well as the real one (CurlTransport).
#pragma once

#include <memory>
#include <string>

#include "platform/bytes.h"

namespace corvane::platform {

class HttpRequestObject {
 public:
  virtual ~HttpRequestObject();

  // Resolve, connect, send and receive limits in milliseconds; 0 means no limit. The send and
  // receive limits bound each wait for the network, not the whole transfer. Without this call
  // the transport's defaults apply. A negative value makes the call fail without effect.
  virtual bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) = 0;

  // Sends every request through the proxy `server` ("host:port", optionally with a scheme).
  virtual bool SetProxy(const std::string& server) = 0;

  // Credentials answered to an authentication challenge: `flags` 1 for the proxy, 0 for the
  // server. Texts are CP936.
  virtual bool SetProxyCredentials(const std::string& user, const std::string& password,
                                   int flags) = 0;

  // Starts a new request: forgets the headers and the answer of an earlier one. `url` is CP936
  // text; see WireUrl for what goes on the wire.
  virtual bool Open(const std::string& method, const std::string& url) = 0;

  // Redirects are followed by the transport unless this is called after Open.
  virtual void DisableRedirects() = 0;

  // Adds one header line; lines go out in the order they were added, after Host. A name set
  // twice is sent twice. The value is CP936 text and is sent as UTF-8. An empty name, or a
  // name or value holding CR, LF or (in the name) a colon, is refused.
  virtual bool SetRequestHeader(const std::string& name, const std::string& value) = 0;

  // Sends the request and waits for the whole answer. False on a network failure or time-out;
  // the body and the header text are then empty. An HTTP error status is an answer, not a
  // failure.
  virtual bool Send(const Bytes& body) = 0;

  virtual Bytes ResponseBody() const = 0;

  // The header lines of the final answer (after redirects), without its status line, joined by
  // CR LF. Lines in valid UTF-8 are turned into CP936.
  virtual std::string AllResponseHeaders() const = 0;

  // The status code of the final answer; 0 before an answer arrived.
  virtual int Status() const = 0;
};

class HttpTransport {
 public:
  virtual ~HttpTransport();
  // A fresh request object; nullptr when none can be made. Safe to call from any thread.
  virtual std::unique_ptr<HttpRequestObject> CreateRequest() = 0;
};

// The transport on libcurl. With `reuseConnections` the connections it opens stay alive and
// are reused by later requests (from any thread) to the same host; without, every request
// opens and closes its own connection.
std::shared_ptr<HttpTransport> CurlTransport(bool reuseConnections = true);

// Closes the idle connections that the calling thread keeps for reuse, for instance before a
// server it talked to is stopped (a server waits for its open connections). Later requests
// open new ones. A thread's connections are also closed when the thread ends.
void CloseIdleConnections();

}  // namespace corvane::platform

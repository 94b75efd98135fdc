// Signed-in sessions of the sandbox, in memory: one-time sign-in tickets and the sessions
// they open. Thread-safe; bounded, so a loop of sign-ins cannot exhaust memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvane::sim {

struct Session {
  std::string id;     // value of the cookie2 cookie
  std::string token;  // value of _tb_token_, to be sent as the query value
  std::string userName;
  std::atomic<std::uint64_t> answers{0};  // search answers given, for the cookie renewals
};

class SessionStore {
 public:
  explicit SessionStore(std::size_t maxSessions = 10000);

  // A one-time ticket that RedeemTicket turns into a session for `userName`.
  std::string IssueTicket(std::string userName);
  // The new session of a ticket, or null when the ticket is unknown or already used.
  std::shared_ptr<Session> RedeemTicket(std::string_view ticket);

  std::shared_ptr<Session> CreateSession(std::string userName);
  std::shared_ptr<Session> Find(std::string_view id) const;

 private:
  std::string RandomHex(std::size_t digits);  // caller holds mutex_

  const std::size_t maxSessions_;
  mutable std::mutex mutex_;
  std::mt19937_64 random_;
  std::unordered_map<std::string, std::shared_ptr<Session>> sessions_;
  std::deque<std::string> sessionOrder_;                  // oldest first, for eviction
  std::unordered_map<std::string, std::string> tickets_;  // ticket -> user name
  std::deque<std::string> ticketOrder_;
};

// The value of the first cookie named `name` in a Cookie header ("a=1; b=2").
std::optional<std::string> CookieValue(std::string_view cookieHeader, std::string_view name);

}  // namespace corvane::sim

// Session and ticket bookkeeping for the sandbox sign-in.
#include "sim/session_store.h"

#include <utility>

namespace corvane::sim {

SessionStore::SessionStore(std::size_t maxSessions)
    : maxSessions_(maxSessions), random_(std::random_device{}()) {}

std::string SessionStore::RandomHex(std::size_t digits) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(digits);
  while (out.size() < digits) out += kHex[random_() % 16];
  return out;
}

std::string SessionStore::IssueTicket(std::string userName) {
  std::lock_guard lock(mutex_);
  std::string ticket = "ST-" + RandomHex(32);
  tickets_.emplace(ticket, std::move(userName));
  ticketOrder_.push_back(ticket);
  while (ticketOrder_.size() > maxSessions_) {
    tickets_.erase(ticketOrder_.front());
    ticketOrder_.pop_front();
  }
  return ticket;
}

std::shared_ptr<Session> SessionStore::RedeemTicket(std::string_view ticket) {
  std::string userName;
  {
    std::lock_guard lock(mutex_);
    const auto found = tickets_.find(std::string(ticket));
    if (found == tickets_.end()) return nullptr;
    userName = std::move(found->second);
    tickets_.erase(found);  // its place in ticketOrder_ goes when it ages out
  }
  return CreateSession(std::move(userName));
}

std::shared_ptr<Session> SessionStore::CreateSession(std::string userName) {
  auto session = std::make_shared<Session>();
  session->userName = std::move(userName);
  std::lock_guard lock(mutex_);
  session->id = RandomHex(32);
  session->token = RandomHex(13);
  sessions_.emplace(session->id, session);
  sessionOrder_.push_back(session->id);
  while (sessionOrder_.size() > maxSessions_) {
    sessions_.erase(sessionOrder_.front());
    sessionOrder_.pop_front();
  }
  return session;
}

std::shared_ptr<Session> SessionStore::Find(std::string_view id) const {
  std::lock_guard lock(mutex_);
  const auto found = sessions_.find(std::string(id));
  return found == sessions_.end() ? nullptr : found->second;
}

std::optional<std::string> CookieValue(std::string_view header, std::string_view name) {
  while (!header.empty()) {
    const std::size_t end = header.find(';');
    std::string_view entry = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
    while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view key = entry.substr(0, equals);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    if (key != name) continue;
    std::string_view value = entry.substr(equals + 1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    return std::string(value);
  }
  return std::nullopt;
}

}  // namespace corvane::sim

// Closing the connection of a request from inside its handler, without an answer: the HTTP
// server hides its sockets from handlers, so the socket is found by its two ports.
#pragma once

namespace corvane::sim {

// Finds this process's TCP socket whose local port is `localPort` and whose peer port is
// `remotePort`, sets it to reset on close and shuts it down; the server's answer then fails
// to go out and the server closes the socket. Call it only on the thread that serves that
// connection. False when no such socket exists.
bool AbortConnection(int localPort, int remotePort);

}  // namespace corvane::sim

// Placeholder until the sandbox service lands.
namespace corvane::sim {}

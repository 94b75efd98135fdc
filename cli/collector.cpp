// Placeholder until the headless collector lands.
namespace corvane::cli {}

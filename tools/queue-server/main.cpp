// queue-server: a small reference queue server, so the operator program runs out of the box.
// GET /getQueue?operator=N answers the next ticket of an in-memory queue.
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "ticket_queue.h"

namespace {

constexpr char kHelp[] =
    "Usage: queue-server [--host ADDRESS] [--port PORT] [--tickets COUNT] [--delay MS]\n"
    "\n"
    "A reference queue server for the operator program, keeping one queue in memory.\n"
    "\n"
    "Tickets: the queue starts with COUNT tickets already issued (default 999), numbered\n"
    "A001, A002, ... in the order they were issued; GET /issue issues one more ticket at the\n"
    "back of the queue and answers its text.\n"
    "\n"
    "GET /getQueue?operator=N, N a window number from 1 to 99, takes the ticket at the front\n"
    "of the queue and answers its text (200, text/plain; charset=utf-8), e.g. \"A001\".\n"
    "When the queue is empty it answers 200 with the text \"Очередь пуста\" (queue empty).\n"
    "A missing or invalid window number is answered with 400 Bad Request.\n"
    "\n"
    "Options:\n"
    "  --host ADDRESS   address to listen on (default 127.0.0.1)\n"
    "  --port PORT      port to listen on (default 8080; 0 picks a free port)\n"
    "  --tickets COUNT  tickets issued at start (default 999)\n"
    "  --delay MS       answer /getQueue MS milliseconds after taking the ticket (default 0,\n"
    "                   at most 60000): a slow server, to watch the program wait for it\n"
    "  --help           this text\n"
    "\n"
    "On start it prints \"listening on http://ADDRESS:PORT\" with the port it took.\n";

constexpr char kQueueEmpty[] = "Очередь пуста";
constexpr char kTextType[] = "text/plain; charset=utf-8";
constexpr int kMaxWindowNumber = 99;
constexpr int kMaxDelayMs = 60000;

bool ParseInt(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

int Usage(const char* problem) {
  std::fprintf(stderr, "queue-server: %s\n\n%s", problem, kHelp);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1";
  int port = 8080;
  int tickets = 999;
  int delay_ms = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (i + 1 >= argc) return Usage("an option is missing its value");
    const char* value = argv[++i];
    if (option == "--host") {
      host = value;
    } else if (option == "--port") {
      if (!ParseInt(value, 0, 65535, port)) return Usage("--port takes 0 to 65535");
    } else if (option == "--tickets") {
      if (!ParseInt(value, 0, 1000000, tickets)) return Usage("--tickets takes 0 to 1000000");
    } else if (option == "--delay") {
      if (!ParseInt(value, 0, kMaxDelayMs, delay_ms)) return Usage("--delay takes 0 to 60000");
    } else {
      return Usage("unknown option");
    }
  }

  queue_server::TicketQueue queue(tickets);
  httplib::Server server;
  server.Get("/getQueue", [&queue, delay_ms](const httplib::Request& request,
                                             httplib::Response& response) {
    int window = 0;
    if (!request.has_param("operator") ||
        !ParseInt(request.get_param_value("operator").c_str(), 1, kMaxWindowNumber, window)) {
      response.status = 400;
      response.set_content("window number missing or invalid", kTextType);
      return;
    }
    const auto ticket = queue.Next();
    response.set_content(ticket ? *ticket : std::string(kQueueEmpty), kTextType);
    std::printf("window %d: %s\n", window, ticket ? ticket->c_str() : "queue empty");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
  });
  server.Get("/issue", [&queue](const httplib::Request&, httplib::Response& response) {
    response.set_content(queue.Issue(), kTextType);
  });

  const int bound = port == 0                         ? server.bind_to_any_port(host)
                    : server.bind_to_port(host, port) ? port
                                                      : -1;
  if (bound <= 0) {
    std::fprintf(stderr, "queue-server: cannot listen on %s:%d\n", host.c_str(), port);
    return 1;
  }
  std::printf("listening on http://%s:%d\n", host.c_str(), bound);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}

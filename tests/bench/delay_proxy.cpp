// A TCP relay that holds every chunk for half a round trip in each direction, so that a
// loopback start can be measured as if the server were far away (the kernel here has no
// traffic shaping). Each chunk it receives is logged as one line,
//   <ms since start> <connection> <up|down> <bytes> [tls-hello]
// "up" is client to server; the first chunk of a connection that opens a TLS handshake is
// marked, so that the log shows handshakes, connections and turns of the conversation.
//   delay_proxy <listen-port> <target-port> <round-trip-ms> <log-file>
// Both ports are on 127.0.0.1. It prints "ready" once listening and runs until killed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::vector<char> bytes;  // empty: the sender closed its side
};

// The chunks of one direction, in order, each released at its due time.
class DelayLine {
  public:
    void Push(Chunk chunk) {
        std::lock_guard lock(mutex_);
        chunks_.push_back(std::move(chunk));
        ready_.notify_one();
    }
    Chunk Pop() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !chunks_.empty(); });
        Chunk chunk = std::move(chunks_.front());
        chunks_.pop_front();
        return chunk;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Chunk> chunks_;
};

const Clock::time_point kStart = Clock::now();
std::mutex logMutex;
FILE* logFile = nullptr;

void Log(int connection, const char* direction, size_t bytes, bool hello) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - kStart).count();
    std::lock_guard lock(logMutex);
    std::fprintf(logFile, "%lld %d %s %zu%s\n", static_cast<long long>(ms), connection, direction,
                 bytes, hello ? " tls-hello" : "");
    std::fflush(logFile);
}

bool SendAll(int socket, const std::vector<char>& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// One direction: a reader that stamps each chunk with its due time and a writer that sends
// it then, so that a long transfer is delayed once, not once per chunk.
void Relay(int from, int to, int connection, const char* direction,
           std::chrono::microseconds oneWay) {
    DelayLine line;
    std::thread writer([&] {
        for (;;) {
            Chunk chunk = line.Pop();
            std::this_thread::sleep_until(chunk.due);
            if (chunk.bytes.empty() || !SendAll(to, chunk.bytes)) {
                shutdown(to, SHUT_WR);
                if (!chunk.bytes.empty())
                    shutdown(from, SHUT_RD);
                return;
            }
        }
    });
    bool first = true;
    for (;;) {
        std::vector<char> buffer(64 * 1024);
        const ssize_t n = recv(from, buffer.data(), buffer.size(), 0);
        if (n <= 0) {
            line.Push({Clock::now() + oneWay, {}});
            break;
        }
        buffer.resize(static_cast<size_t>(n));
        // The client's TLS handshake record (of any version) opens the connection; the
        // server's answer starts the same way and is not a second handshake.
        const bool hello = first && std::string_view(direction) == "up" && n >= 3 &&
                           buffer[0] == 0x16 && buffer[1] == 0x03;
        first = false;
        Log(connection, direction, buffer.size(), hello);
        line.Push({Clock::now() + oneWay, std::move(buffer)});
    }
    writer.join();
}

int Connect(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(s);
        return -1;
    }
    return s;
}

void NoDelay(int s) {
    const int yes = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof(yes));
}

int ParsePort(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return (*end == '\0' && value > 0 && value < 65536) ? static_cast<int>(value) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: delay_proxy <listen-port> <target-port> <round-trip-ms> "
                     "<log-file>\n");
        return 2;
    }
    const int listenPort = ParsePort(argv[1]);
    const int targetPort = ParsePort(argv[2]);
    char* end = nullptr;
    const long rtt = std::strtol(argv[3], &end, 10);
    if (listenPort < 0 || targetPort < 0 || *end != '\0' || rtt < 0 || rtt > 10000) {
        std::fprintf(stderr, "delay_proxy: bad port or round trip (0..10000 ms)\n");
        return 2;
    }
    logFile = std::fopen(argv[4], "a");
    if (logFile == nullptr) {
        std::perror("delay_proxy: log file");
        return 1;
    }
    const std::chrono::microseconds oneWay(rtt * 500);

    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(listenPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 64) != 0) {
        std::perror("delay_proxy: listen");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    for (int connection = 1;; ++connection) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0)
            continue;
        const int server = Connect(targetPort);
        if (server < 0) {
            close(client);
            continue;
        }
        NoDelay(client);
        NoDelay(server);
        std::thread([client, server, connection, oneWay] {
            std::thread down(Relay, server, client, connection, "down", oneWay);
            Relay(client, server, connection, "up", oneWay);
            down.join();
            close(client);
            close(server);
        }).detach();
    }
}

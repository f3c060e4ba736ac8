// Test support for the live page's server: a client connection to the
// loopback that sends raw bytes and reads with a time limit, so that a test
// can send what no browser would and still never hang.
#ifndef CALVETRA_TESTS_TOOLS_HTTP_PROVA_H_
#define CALVETRA_TESTS_TOOLS_HTTP_PROVA_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace calvetra::test {

// A connection to 127.0.0.1:porta whose reads and writes give up after 5 s.
class Connessione {
 public:
  explicit Connessione(int porta) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval limite{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limite, sizeof limite);
    setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limite, sizeof limite);
    connesso_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Connessione() { chiudi(); }
  Connessione(const Connessione&) = delete;
  Connessione& operator=(const Connessione&) = delete;

  bool connesso() const { return connesso_; }
  // True when every byte was taken by the system.
  bool invia(const std::string& s) {
    size_t fatti = 0;
    while (fatti < s.size()) {
      const ssize_t n = send(fd_, s.data() + fatti, s.size() - fatti, MSG_NOSIGNAL);
      if (n <= 0) return false;
      fatti += static_cast<size_t>(n);
    }
    return true;
  }
  // Reads until `segno` has come (true) or the time limit or the end.
  bool leggi_fino(const std::string& segno) {
    char b[65536];
    while (letto_.find(segno) == std::string::npos) {
      const ssize_t n = recv(fd_, b, sizeof b, 0);
      if (n <= 0) return false;
      letto_.append(b, static_cast<size_t>(n));
    }
    return true;
  }
  // Reads until the server closes (true) or the time limit (false).
  bool leggi_fino_alla_chiusura() {
    char b[65536];
    for (;;) {
      const ssize_t n = recv(fd_, b, sizeof b, 0);
      if (n == 0) return true;
      if (n < 0) return errno == ECONNRESET;
      letto_.append(b, static_cast<size_t>(n));
    }
  }
  // The status of the answer; 0 for none.
  int stato() {
    if (!leggi_fino("\r\n")) return 0;
    return letto_.compare(0, 9, "HTTP/1.1 ") == 0 ? std::stoi(letto_.substr(9, 3)) : 0;
  }
  const std::string& letto() const { return letto_; }
  void chiudi() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  bool connesso_ = false;
  std::string letto_;
};

inline std::string richiesta_http(const std::string& metodo, const std::string& percorso,
                                  const std::string& host, const std::string& altro = "") {
  return metodo + " " + percorso + " HTTP/1.1\r\nHost: " + host + "\r\n" + altro +
         "Connection: close\r\n\r\n";
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_TOOLS_HTTP_PROVA_H_

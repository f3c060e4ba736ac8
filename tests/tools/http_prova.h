// Test support for the live page's server: a client connection to the
// loopback that sends raw bytes and reads with a time limit, so that a test
// can send what no browser would and still never hang.
#ifndef CALVETRA_TESTS_TOOLS_HTTP_PROVA_H_
#define CALVETRA_TESTS_TOOLS_HTTP_PROVA_H_

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cstdint>
#include <string>

namespace calvetra::test {

#ifdef _WIN32
using Presa = SOCKET;
constexpr Presa kNessunaPresa = INVALID_SOCKET;
constexpr int kSenzaSegnale = 0;
inline int chiudi_presa(Presa p) { return closesocket(p); }
inline bool connessione_azzerata() { return WSAGetLastError() == WSAECONNRESET; }
using Lunghezza = int;
// Winsock wants starting once a process (the server in the same process may
// not have started it yet).
inline void avvia_prese() {
  static const bool avviato = [] {
    WSADATA dati;
    return WSAStartup(MAKEWORD(2, 2), &dati) == 0;
  }();
  static_cast<void>(avviato);
}
// Winsock takes a time limit in milliseconds.
inline void limite_presa(Presa p, int opzione, int secondi) {
  const DWORD ms = static_cast<DWORD>(secondi) * 1000;
  setsockopt(p, SOL_SOCKET, opzione, reinterpret_cast<const char*>(&ms), sizeof ms);
}
#else
using Presa = int;
constexpr Presa kNessunaPresa = -1;
constexpr int kSenzaSegnale = MSG_NOSIGNAL;
using Lunghezza = size_t;
inline void avvia_prese() {}
inline int chiudi_presa(Presa p) { return close(p); }
inline bool connessione_azzerata() { return errno == ECONNRESET; }
inline void limite_presa(Presa p, int opzione, int secondi) {
  timeval limite{secondi, 0};
  setsockopt(p, SOL_SOCKET, opzione, &limite, sizeof limite);
}
#endif

// A connection to 127.0.0.1:porta whose reads and writes give up after 5 s.
class Connessione {
 public:
  explicit Connessione(int porta) {
    avvia_prese();
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    limite_presa(fd_, SO_RCVTIMEO, 5);
    limite_presa(fd_, SO_SNDTIMEO, 5);
    connesso_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~Connessione() { chiudi(); }
  Connessione(const Connessione&) = delete;
  Connessione& operator=(const Connessione&) = delete;

  bool connesso() const { return connesso_; }
  // How long a read waits before it gives up.
  void attesa_massima(int secondi) { limite_presa(fd_, SO_RCVTIMEO, secondi); }
  // True when every byte was taken by the system.
  bool invia(const std::string& s) {
    size_t fatti = 0;
    while (fatti < s.size()) {
      const auto n =
          send(fd_, s.data() + fatti, static_cast<Lunghezza>(s.size() - fatti), kSenzaSegnale);
      if (n <= 0) return false;
      fatti += static_cast<size_t>(n);
    }
    return true;
  }
  // Reads until `segno` has come at or after byte `da` of what was read
  // (true), or the time limit or the end. Each read looks only at the bytes
  // it added, so a long answer is read in linear time.
  bool leggi_fino(const std::string& segno, size_t da = 0) {
    char b[65536];
    size_t cerca = da;
    while (letto_.find(segno, cerca) == std::string::npos) {
      if (letto_.size() >= da + segno.size()) cerca = letto_.size() - segno.size() + 1;
      const auto n = recv(fd_, b, sizeof b, 0);
      if (n <= 0) return false;
      letto_.append(b, static_cast<size_t>(n));
    }
    return true;
  }
  // Reads until the server closes (true) or the time limit (false).
  bool leggi_fino_alla_chiusura() {
    char b[65536];
    for (;;) {
      const auto n = recv(fd_, b, sizeof b, 0);
      if (n == 0) return true;
      if (n < 0) return connessione_azzerata();
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
    if (fd_ != kNessunaPresa) chiudi_presa(fd_);
    fd_ = kNessunaPresa;
  }

 private:
  Presa fd_ = kNessunaPresa;
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

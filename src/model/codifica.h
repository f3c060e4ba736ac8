// Little-endian encoding of the binary files, in one place: every output file
// is written with these functions and every reader of the files (the tools and
// the tests) decodes with LettoreBinario.
#ifndef CALVETRA_MODEL_CODIFICA_H_
#define CALVETRA_MODEL_CODIFICA_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace calvetra {

// The n low bytes of v at p, least significant first: the one place where a
// number becomes bytes. REQUIRES: n <= 8 and room for n bytes at p.
inline void scrivi_le(char* p, uint64_t v, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
}

inline void put_u8(std::string* s, uint8_t v) { s->push_back(static_cast<char>(v)); }

inline void put_u16(std::string* s, uint16_t v) {
  char b[2];
  scrivi_le(b, v, 2);
  s->append(b, 2);
}

inline void put_i16(std::string* s, int16_t v) { put_u16(s, static_cast<uint16_t>(v)); }

inline void put_u32(std::string* s, uint32_t v) {
  char b[4];
  scrivi_le(b, v, 4);
  s->append(b, 4);
}

inline void put_i32(std::string* s, int32_t v) { put_u32(s, static_cast<uint32_t>(v)); }

inline void put_f64(std::string* s, double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  char b[8];
  scrivi_le(b, bits, 8);
  s->append(b, 8);
}

// A string as its 16-bit character count and its bytes.
// REQUIRES: v.size() <= 65535 (the writer checks before it starts).
inline void put_stringa(std::string* s, std::string_view v) {
  put_u16(s, static_cast<uint16_t>(v.size()));
  s->append(v);
}

// Sequential reader over a byte buffer; every get fails cleanly at the end.
class LettoreBinario {
 public:
  explicit LettoreBinario(std::string_view dati) : dati_(dati) {}

  size_t posizione() const { return pos_; }
  size_t rimanenti() const { return dati_.size() - pos_; }
  bool finito() const { return pos_ == dati_.size(); }

  bool get_u8(uint8_t* v) {
    if (rimanenti() < 1) return false;
    *v = static_cast<uint8_t>(dati_[pos_++]);
    return true;
  }
  bool get_u16(uint16_t* v) {
    if (rimanenti() < 2) return false;
    *v = static_cast<uint16_t>(prendi<2>());
    return true;
  }
  bool get_i16(int16_t* v) {
    uint16_t u = 0;
    if (!get_u16(&u)) return false;
    *v = static_cast<int16_t>(u);
    return true;
  }
  bool get_u32(uint32_t* v) {
    if (rimanenti() < 4) return false;
    *v = static_cast<uint32_t>(prendi<4>());
    return true;
  }
  bool get_i32(int32_t* v) {
    uint32_t u = 0;
    if (!get_u32(&u)) return false;
    *v = static_cast<int32_t>(u);
    return true;
  }
  bool get_f64(double* v) {
    if (rimanenti() < 8) return false;
    const uint64_t bits = prendi<8>();
    std::memcpy(v, &bits, sizeof bits);
    return true;
  }
  // Past n bytes; false (and nowhere) when fewer are left.
  bool salta(size_t n) {
    if (rimanenti() < n) return false;
    pos_ += n;
    return true;
  }
  bool get_stringa(std::string* v) {
    uint16_t n = 0;
    const size_t inizio = pos_;
    if (!get_u16(&n)) return false;
    if (rimanenti() < n) {
      pos_ = inizio;
      return false;
    }
    v->assign(dati_.substr(pos_, n));
    pos_ += n;
    return true;
  }

 private:
  // The next N bytes as an unsigned number, least significant first, and
  // past them. REQUIRES: N <= rimanenti(). One load on a little-endian
  // machine: the plan is read by the thousand elements.
  template <size_t N>
  uint64_t prendi() {
    static_assert(N <= 8);
    uint64_t v = 0;
    const char* p = dati_.data() + pos_;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&v, p, N);
    } else {
      for (size_t i = 0; i < N; ++i) v |= uint64_t{static_cast<uint8_t>(p[i])} << (8 * i);
    }
    pos_ += N;
    return v;
  }

  std::string_view dati_;
  size_t pos_ = 0;
};

}  // namespace calvetra

#endif  // CALVETRA_MODEL_CODIFICA_H_

// Test support: "a fix keeps its promise", said apart from the compile's
// own check of it. Every fix offered is applied to its source and the pair
// compiled again; then, by kind and by count alone (no place is mapped
// through the edit), no diagnostic is new and the one answered is one fewer;
// the compile ends no worse; and the field reader, from the place promised,
// reads what the fix promised.
#ifndef CALVETRA_TESTS_SUPPORT_PROMESSE_H_
#define CALVETRA_TESTS_SUPPORT_PROMESSE_H_

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "model/caratteri.h"
#include "model/numeri.h"

namespace calvetra::test {

using ChiaveDiagnostico = std::tuple<Gravita, CodiceErrore, std::string>;

inline std::map<ChiaveDiagnostico, int> per_genere(const Compilazione& c) {
  std::map<ChiaveDiagnostico, int> n;
  for (const Diagnostico& d : c.diagnostica.voci()) ++n[{d.gravita, d.codice, d.nome}];
  return n;
}

// What the field reader reads from `offset` of `testo`, as `p` says it
// should; "" when it reads that.
// A fix in a record the compile never reached (`non_compilato`) promises the
// reading alone: that record is not compiled, before or after it.
inline std::string letto_come_promesso(std::string_view testo, const Promessa& p,
                                       const Compilazione& dopo, FileSorgente file,
                                       bool non_compilato) {
  LettoreCampi f;
  f.apri(testo);
  f.salta_a(p.offset);
  try {
    switch (p.tipo) {
      case Promessa::Tipo::nessuna: return "";
      case Promessa::Tipo::numeri:
        for (int64_t v : p.numeri) {
          if (const int32_t letto = f.leggi_32(); letto != v) {
            return "letto " + std::to_string(letto) + " per " + std::to_string(v);
          }
        }
        return "";
      case Promessa::Tipo::testo: {
        const std::string letto = f.leggi_testo();
        return letto == p.testo ? "" : "letto il testo `" + letto + "`";
      }
      case Promessa::Tipo::record: {
        const std::string campo = f.leggi_testo();
        const DescrizioneRecord* d = descrizione_record(file, p.testo);
        if (d == nullptr || !d->prova.passa(campo)) return "`" + campo + "` non apre il record";
        for (const RecordRegistrato& r : dopo.giornale.records()) {
          if (r.chiave.file == file && r.nome == p.testo && (r.compilato || non_compilato) &&
              r.chiave.offset <= p.offset && p.offset < r.chiave.fine_estesa()) {
            return "";
          }
        }
        return "il record `" + p.testo + "` non e' compilato";
      }
    }
  } catch (const GuastoInatteso& e) {
    return e.what();
  }
  return "";
}

// Every fix that `c` (the compile of `linea` and `treno` with `o`) offers,
// applied and compiled: a line for each promise it does not keep.
inline std::vector<std::string> promesse_mancate(std::string_view linea, std::string_view treno,
                                                 OpzioniCompilazione o, const Compilazione& c,
                                                 size_t* provate = nullptr) {
  std::vector<std::string> mancate;
  o.verifica_correzioni = false;  // the fixes of the compile after one are not looked at
  o.coordinate = false;
  const std::map<ChiaveDiagnostico, int> prima = per_genere(c);
  for (const Diagnostico& d : c.diagnostica.voci()) {
    for (const Correzione& f : d.correzioni) {
      if (provate != nullptr) ++*provate;
      const bool della_linea = f.luogo.file == FileSorgente::linea;
      std::string corretto(della_linea ? linea : treno);
      const std::string dove = d.nome + " `" + f.titolo + "`: ";
      if (f.luogo.offset > corretto.size() || f.lunghezza > corretto.size() - f.luogo.offset) {
        mancate.push_back(dove + "fuori dal sorgente");
        continue;
      }
      // No fix cuts a UTF-8 character of the source in two.
      const std::string_view prima_del_fix(della_linea ? linea : treno);
      for (const size_t bordo : {f.luogo.offset, f.luogo.offset + f.lunghezza}) {
        for (size_t k = 1; k <= 3 && k <= bordo; ++k) {
          if (sequenza_utf8(prima_del_fix, bordo - k) > k) {
            mancate.push_back(dove + "taglia un carattere UTF-8");
          }
        }
      }
      corretto.replace(f.luogo.offset, f.lunghezza, f.testo);
      const Compilazione dopo =
          compila(Sorgente::di(della_linea ? std::string_view(corretto) : linea),
                  Sorgente::di(della_linea ? treno : std::string_view(corretto)), {}, o);
      std::map<ChiaveDiagnostico, int> resto = prima;
      --resto[{d.gravita, d.codice, d.nome}];
      for (const auto& [chiave, n] : per_genere(dopo)) {
        if (n > resto[chiave]) {
          mancate.push_back(dove + "poi " + std::to_string(n) + " di " + std::get<2>(chiave) +
                            " errore " + std::to_string(numero(std::get<1>(chiave))) + ", prima " +
                            std::to_string(resto[chiave]));
        }
      }
      if (dopo.fine != c.fine && dopo.fine != FineCompilazione::pronta) {
        mancate.push_back(dove + "la compilazione finisce come " + nome_fine(dopo.fine));
      }
      const std::string letto =
          letto_come_promesso(corretto, f.promessa, dopo, f.luogo.file, d.non_compilato);
      if (!letto.empty()) mancate.push_back(dove + letto);
    }
  }
  return mancate;
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_PROMESSE_H_

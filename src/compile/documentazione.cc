#include "compile/documentazione.h"

#include "fields/catalogo.h"
#include "line/catalogo_linea.h"
#include "train/catalogo_treno.h"

namespace calvetra {

namespace {

constexpr std::string_view kApertura = "<!-- catalogo ";
constexpr std::string_view kChiusura = "<!-- fine catalogo -->\n";

}  // namespace

std::string tabelle_catalogo(std::string_view nome) {
  if (nome == "intestazione-linea") {
    return tabelle_record(descrizioni(catalogo_intestazione_linea()));
  }
  if (nome == "corpo-linea") return tabelle_record(descrizioni(catalogo_corpo_linea()));
  if (nome == "treno") return tabelle_record(record_treno());
  return "";
}

std::string aggiorna_documentazione(std::string_view documento) {
  std::string s;
  size_t i = 0;
  while (i < documento.size()) {
    const size_t apre = documento.find(kApertura, i);
    const size_t fine_apertura = apre == std::string_view::npos ? apre : documento.find('\n', apre);
    const size_t chiude =
        fine_apertura == std::string_view::npos ? fine_apertura : documento.find(kChiusura, apre);
    if (chiude == std::string_view::npos) break;
    const std::string_view riga = documento.substr(apre, fine_apertura - apre);
    const std::string_view nome =
        riga.substr(kApertura.size(), riga.find(" -->") - kApertura.size());
    s.append(documento.substr(i, fine_apertura + 1 - i));
    s += tabelle_catalogo(nome);
    i = chiude;
    s.append(kChiusura);
    i += kChiusura.size();
  }
  s.append(documento.substr(i < documento.size() ? i : documento.size()));
  return s;
}

}  // namespace calvetra

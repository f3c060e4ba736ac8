#include "scenario/disegno/tavola.h"

#include <vector>

#include "model/significato.h"
#include "scenario/comune/testo.h"
#include "scenario/disegno/oggetti.h"
#include "scenario/disegno/pianta.h"
#include "scenario/disegno/profilo.h"
#include "scenario/disegno/svg.h"

namespace calvetra::scenario::disegno {

namespace {

std::string legenda(double y) {
  struct Voce {
    std::string simbolo;
    const char* testo;
  };
  const auto punto = [](const char* colore) {
    return std::string("<circle cx=\"6\" cy=\"-4\" r=\"4\" fill=\"") + colore + "\"/>";
  };
  const auto barra = [](const char* colore) {
    return std::string("<rect x=\"0\" y=\"-8\" width=\"14\" height=\"8\" fill=\"") + colore +
           "\"/>";
  };
  const std::vector<Voce> voci = {
      {"<circle cx=\"6\" cy=\"-4\" r=\"4\" fill=\"#fff\" stroke=\"#1f4e9c\" stroke-width=\"2\"/>",
       "stazione (ora)"},
      {punto(kColoreSegnale), "segnale"},
      {barra(kColoreRallentamento), "rallentamento (km/h)"},
      {"<path d=\"M6 -9 L11 0 L1 0 Z\" fill=\"#ef6c00\"/>", "avviso di rallentamento"},
      {barra("#37474f"), "indicatori di velocit\xE0"},
      {barra("#90a4ae"), "cartello"},
      {barra(kColoreAbbattimento), "abbattimento"},
      {barra(kColoriMontagna[0]), "montagna 1"},
      {barra(kColoriMontagna[1]), "montagna 2"},
      {barra(kColoriMontagna[2]), "montagna 3"},
      {barra(kColoreSalita), "salita"},
      {barra(kColoreDiscesa), "discesa"},
  };
  std::string svg = "<g id=\"legenda\">\n";
  double x = kSinistra;
  for (const Voce& v : voci) {
    const double wv = 22 + larghezza_testo(v.testo, 11) + 18;
    if (x + wv > kLarghezza - kDestra) {
      x = kSinistra;
      y += 20;
    }
    svg += "<g transform=\"translate(" + f1(x) + " " + f1(y) + ")\">" + v.simbolo + "</g>\n";
    svg += testo(x + 20, y, v.testo, "font-size=\"11\" fill=\"#37474f\"");
    x += wv;
  }
  return svg + "</g>\n";
}

}  // namespace

std::string disegna(const ScenarioLetto& s) {
  const Oggetti o = raccogli(s);
  std::string corpo;
  const Intestazione intestazione(s.tabella);
  const std::string& nome_linea = intestazione.nome_linea();
  const std::string& nome_treni = intestazione.nome_treni();
  corpo += testo(kSinistra, 34, "Linea " + nome_linea + "  \x97  treni " + nome_treni,
                 "font-size=\"22\" font-weight=\"bold\" fill=\"#263238\"");
  corpo += testo(kSinistra, 56,
                 "percorso " + decimali(o.lunghezza / 1000, 1) + " km   \xB7   " +
                     std::to_string(o.stazioni.size()) + " stazioni   \xB7   " +
                     std::to_string(o.segnali.size()) + " segnali   \xB7   " +
                     std::to_string(o.rallentamenti.size()) + " rallentamenti   \xB7   " +
                     std::to_string(o.cartelli.size()) + " cartelli",
                 "font-size=\"13\" fill=\"#546e7a\"");
  double h_pianta = 0, h_profilo = 0;
  corpo += disegna_pianta(s, o, 74, &h_pianta);
  corpo += disegna_profilo(s, o, 74 + h_pianta, &h_profilo);
  const double y_legenda = 74 + h_pianta + h_profilo + 6;
  corpo += legenda(y_legenda);
  const double altezza = y_legenda + 40;

  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + f1(kLarghezza) +
         "\" height=\"" + f1(altezza) + "\" viewBox=\"0 0 " + f1(kLarghezza) + " " + f1(altezza) +
         "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\">\n";
  svg += "<title>" + testo_xml("Linea " + nome_linea + " \x97 treni " + nome_treni) + "</title>\n";
  svg += rettangolo(0, 0, kLarghezza, altezza, "fill=\"#ffffff\"");
  svg += corpo;
  svg += "</svg>\n";
  return svg;
}

}  // namespace calvetra::scenario::disegno

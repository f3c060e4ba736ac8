#include "plot.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "argomenti.h"
#include "model/costanti.h"
#include "pianta.h"
#include "platform/piattaforma.h"
#include "platform/sostituzione.h"
#include "profilo.h"
#include "testo.h"

namespace calvetra::scenario {

using namespace disegno;

namespace {

constexpr const char* kAiuto =
    "uso: scenario plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n"
    "\n"
    "Disegna il percorso dai file binari della CARTELLA in un SVG autonomo:\n"
    "la pianta dal file della geometria, con stazioni, segnali e rallentamenti,\n"
    "e sotto il profilo lungo il percorso, cella per cella: stazioni e segnali,\n"
    "velocita' massima e rallentamenti, pendenza, tratti di montagna, con l'asse\n"
    "dei chilometri. Con -o - l'SVG va sull'uscita standard.\n"
    "\n"
    "Uscita: 0 disegno scritto, 1 file mancante o non valido o SVG non\n"
    "scrivibile, 2 uso errato.\n";

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

std::string disegna(const ScenarioLetto& s, const NomiScenario& nomi) {
  (void)nomi;
  const Oggetti o = raccogli(s);
  std::string corpo;
  const std::string nome_linea = s.tabella[kRigaLinea].nome;
  const std::string nome_treni = s.tabella[kRigaTreni].nome;
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

int plot(const OpzioniPlot& o, std::ostream& out, std::ostream& err) {
  ScenarioLetto s;
  std::string errore;
  if (!leggi_scenario(o.cartella, o.nomi, &s, &errore)) {
    err << "scenario: " << errore << "\n";
    return kUscitaFatale;
  }
  const std::string svg = disegna(s, o.nomi);
  if (o.uscita == "-") {
    out << svg;
    return kUscitaPulita;
  }
  // A regular file is replaced whole, so a failed write leaves the old
  // drawing. Anything else (a device, a pipe, a link) is written through:
  // replacing it would put a plain file where it stood.
  std::error_code ec;
  const auto stato = std::filesystem::symlink_status(o.uscita, ec);
  const bool sostituibile = ec || stato.type() == std::filesystem::file_type::not_found ||
                            stato.type() == std::filesystem::file_type::regular;
  std::string motivo;
  bool scritto = false;
  if (sostituibile) {
    PiattaformaPosix fs(".");
    scritto = sostituisci_file(
        &fs, o.uscita, [&](Uscita* u) { u->buffer()->append(svg); }, &motivo);
  } else {
    std::ofstream file(o.uscita, std::ios::binary);
    file.write(svg.data(), static_cast<std::streamsize>(svg.size()));
    file.close();
    scritto = static_cast<bool>(file);
    if (!scritto) motivo = "scrittura fallita";
  }
  if (!scritto) {
    err << "scenario: " << o.uscita << ": impossibile scrivere: " << motivo << "\n";
    return kUscitaFatale;
  }
  return kUscitaPulita;
}

int comando_plot(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  OpzioniPlot o;
  Argomenti a(argc, argv);
  std::vector<std::string> posizionali;
  while (!a.finiti()) {
    if (a.opzione("--help") || a.opzione("-h")) {
      out << kAiuto;
      return kUscitaPulita;
    }
    if (a.nome("--linea", &o.nomi.linea) || a.nome("--treni", &o.nomi.treni) ||
        a.valore("-o", &o.uscita) || a.valore("--output", &o.uscita)) {
      continue;
    }
    if (a.errore() || !a.posizionale(&posizionali)) break;
  }
  if (a.errore() || posizionali.size() != 1 || o.uscita.empty()) {
    err << "scenario plot: "
        << (a.errore()                ? a.messaggio()
            : posizionali.size() != 1 ? "serve una CARTELLA"
                                      : "serve -o FILE.svg")
        << "\n"
        << "uso: scenario plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n";
    return kUscitaUso;
  }
  o.cartella = posizionali[0];
  return plot(o, out, err);
}

}  // namespace calvetra::scenario

# `scenario.exe view --serve` as an author starts it from a console: the page
# answers with its token and 404 without it, its event stream brings a new
# state after a save, and Ctrl-Break (or, where the console cannot raise it,
# Ctrl-C) ends it with status 0. interrompi.exe gives it the console.
#   python3 vivo_processo.py WINE INTERROMPI_EXE SCENARIO_EXE CARTELLA
import http.client, os, subprocess, sys, threading, time

vino, interrompi, programma, cartella = sys.argv[1:5]
cartella = os.path.abspath(cartella)
proc = subprocess.Popen([vino, interrompi, programma, "view", "--serve", "Z:" + cartella],
                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
righe_errore = []
lettore = threading.Thread(target=lambda: righe_errore.extend(
    r.decode("utf-8", "replace").rstrip() for r in proc.stderr), daemon=True)
lettore.start()


def richiesta(porta, percorso):
    c = http.client.HTTPConnection("127.0.0.1", porta, timeout=30)
    c.request("GET", percorso)
    r = c.getresponse()
    corpo = r.read()
    c.close()
    return r.status, corpo


def leggi_fino(flusso, testo, scadenza):
    letto = b""
    while testo not in letto:
        if time.time() > scadenza:
            raise TimeoutError("nessun %r sul flusso degli eventi" % testo)
        c = flusso.read1(65536)
        if not c:
            raise EOFError("il flusso degli eventi si e' chiuso")
        letto += c
    return letto


limite = threading.Timer(180, proc.kill)
limite.start()
try:
    indirizzo = proc.stdout.readline().decode().strip()
    assert indirizzo.startswith("http://127.0.0.1:"), "prima riga: %r" % indirizzo
    porta = int(indirizzo.split(":")[2].split("/")[0])
    percorso = "/" + indirizzo.split("/", 3)[3]
    stato, corpo = richiesta(porta, percorso)
    assert stato == 200 and b"<html" in corpo.lower(), "la pagina: %d" % stato
    for senza in ["/", "/eventi", "/" + "0" * 64 + "/"]:
        stato, _ = richiesta(porta, senza)
        assert stato == 404, "%s senza gettone: %d" % (senza, stato)

    c = http.client.HTTPConnection("127.0.0.1", porta, timeout=30)
    c.request("GET", percorso + "eventi")
    flusso = c.getresponse()
    assert flusso.status == 200, "il flusso: %d" % flusso.status
    leggi_fino(flusso, b"event: modello", time.time() + 60)
    # A save as an editor makes it: the file written again in place.
    sorgente = os.path.join(cartella, "Calvetra_linea.txt")
    testo = open(sorgente, "rb").read()
    with open(sorgente, "wb") as f:
        f.write(testo)
    leggi_fino(flusso, b"event: modello", time.time() + 60)
    c.close()

    proc.stdin.write(b"\n")
    proc.stdin.flush()
    stato = proc.wait(timeout=60)
    lettore.join(5)
    note = [r for r in righe_errore if r.startswith("interrompi:")]
    assert stato == 0, "uscita %d (%s)" % (stato, "; ".join(note))
    print("vivo: pagina col gettone, 404 senza, un evento dopo il salvataggio, uscita 0")
    for n in note:
        print("vivo: " + n)
except Exception as e:  # the failure, said once
    print("vivo: %s" % e)
    proc.kill()
    lettore.join(5)
    for r in righe_errore:
        print("  " + r)
    sys.exit(1)
finally:
    limite.cancel()

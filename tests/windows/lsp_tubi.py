# `scenario.exe lsp` as an editor starts it: over two pipes, framed by byte
# counts. initialize, didOpen of the line source, hover on its first record;
# every answer must arrive whole, in order, within a time limit. The source is
# named as VS Code names it, its drive letter in lower case and its colon
# escaped ("file:///z%3A/..."; Wine's drive Z: is the root of Linux's files),
# and the folder of the settings as Windows writes it ("Z:\tmp\..."): the
# hover answers only when the two are found to name the same folder.
#   python3 lsp_tubi.py WINE SCENARIO_EXE CARTELLA
import json, os, subprocess, sys, threading

vino, programma, cartella = sys.argv[1:4]
cartella = os.path.abspath(cartella)
proc = subprocess.Popen([vino, programma, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                        cwd=cartella)


def invia(messaggio):
    corpo = json.dumps(messaggio).encode()
    proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(corpo) + corpo)
    proc.stdin.flush()


def ricevi():
    intestazione = b""
    while not intestazione.endswith(b"\r\n\r\n"):
        c = proc.stdout.read(1)
        if not c:
            raise EOFError("il server ha chiuso l'uscita")
        intestazione += c
    lunghezza = int(intestazione.split(b"Content-Length:")[1].split(b"\r\n")[0])
    return json.loads(proc.stdout.read(lunghezza))


def risposta(id_):
    while True:
        m = ricevi()
        if m.get("id") == id_:
            return m


limite = threading.Timer(120, proc.kill)
limite.start()
try:
    uri = "file:///z%3A" + cartella.replace("\\", "/") + "/Calvetra_linea.txt"
    testo = open(os.path.join(cartella, "Calvetra_linea.txt"), encoding="cp1252", newline="").read()
    invia({"jsonrpc": "2.0", "id": 1, "method": "initialize",
           "params": {"rootUri": None, "capabilities": {},
                      "initializationOptions": {"cartella": "Z:" + cartella.replace("/", "\\")}}})
    r = risposta(1)
    assert "capabilities" in r["result"], r
    invia({"jsonrpc": "2.0", "method": "initialized", "params": {}})
    invia({"jsonrpc": "2.0", "method": "textDocument/didOpen",
           "params": {"textDocument": {"uri": uri, "languageId": "scenario", "version": 1,
                                       "text": testo}}})
    riga = next(i for i, r in enumerate(testo.split("\r\n")) if r.startswith("lunghezza"))
    invia({"jsonrpc": "2.0", "id": 2, "method": "textDocument/hover",
           "params": {"textDocument": {"uri": uri}, "position": {"line": riga, "character": 2}}})
    h = risposta(2)
    valore = json.dumps(h.get("result"))
    assert h.get("result") and "lunghezza" in valore, h
    invia({"jsonrpc": "2.0", "id": 3, "method": "shutdown"})
    risposta(3)
    invia({"jsonrpc": "2.0", "method": "exit"})
    proc.stdin.close()
    stato = proc.wait(timeout=60)
    assert stato == 0, "uscita %d" % stato
    print("lsp: initialize, didOpen e hover risposti; uscita 0")
except Exception as e:  # the failure, said once
    print("lsp: %s" % e)
    proc.kill()
    sys.exit(1)
finally:
    limite.cancel()

-- The end-to-end test of `scenario lsp` in Neovim (Debian's 0.7), set up by
-- the README's own snippet (INIT): it finds the server in the build folder,
-- starts one for each route folder and keeps the sources in Windows-1252
-- with CR LF. Opens the embedded sources, sees no diagnostic, misspells a
-- keyword and sees the warning at its line and column, applies the quick
-- fix and sees it cleared, hovers a station and reads its km; sees the field
-- names of a station, a fold per section and semantic tokens; formats the
-- line source and finds the compiled files the same bytes; completes a curve
-- that compiles; in a second
-- route folder sees a second server, an accented name read and written back
-- as Windows-1252 with CR LF; then shuts the servers down and checks that
-- they exited with 0.
local cartella = os.getenv("CARTELLA")
local seconda = os.getenv("SECONDA")
local attesa = 10000

local function fallisci(perche)
  io.stderr:write("lsp_neovim: FALLITO: " .. perche .. "\n")
  vim.cmd("cq 1")
end
local function passo(cosa)
  io.stdout:write("lsp_neovim: " .. cosa .. "\n")
end

-- Every publication, by URI, in order; every server's exit status, by id.
local pubblicate = {}
local uscite = {}
local pubblica = vim.lsp.handlers["textDocument/publishDiagnostics"]
vim.lsp.handlers["textDocument/publishDiagnostics"] = function(err, result, ctx, config)
  pubblicate[result.uri] = pubblicate[result.uri] or {}
  table.insert(pubblicate[result.uri], result.diagnostics)
  return pubblica(err, result, ctx, config)
end
local avvia = vim.lsp.start_client
vim.lsp.start_client = function(config)
  local suo = config.on_exit
  config.on_exit = function(codice, segnale, id)
    uscite[id] = codice
    if suo then
      suo(codice, segnale, id)
    end
  end
  return avvia(config)
end
dofile(os.getenv("INIT"))

local function apri(dove, nome)
  vim.cmd("edit " .. vim.fn.fnameescape(dove .. "/" .. nome))
  return vim.api.nvim_get_current_buf()
end
-- The server attached to a buffer, once it has answered initialize.
local function server_di(buf)
  local id = nil
  vim.wait(attesa, function()
    for cid, _ in pairs(vim.lsp.buf_get_clients(buf)) do
      id = cid
    end
    return id ~= nil
  end, 20)
  return id
end
local linea = apri(cartella, "Calvetra_linea.txt")
local treno = apri(cartella, "Calvetra_2718 - 5340-.txt")
local uri = vim.uri_from_bufnr(treno)
local id = server_di(treno)
if not id or server_di(linea) ~= id then
  return fallisci("i due sorgenti non hanno lo stesso server: " .. tostring(id) .. ", " .. tostring(server_di(linea)))
end
for _, b in ipairs({ linea, treno }) do
  if vim.bo[b].fileencoding ~= "cp1252" or vim.bo[b].fileformat ~= "dos" then
    return fallisci("codifica " .. vim.bo[b].fileencoding .. ", formato " .. vim.bo[b].fileformat)
  end
end
passo("un server per i due sorgenti, letti in cp1252 con CR LF")
-- Waits for publication n for the train source; returns it.
local function pubblicazione(n)
  local ok = vim.wait(attesa, function()
    return pubblicate[uri] ~= nil and #pubblicate[uri] >= n
  end, 20)
  if not ok then
    fallisci("nessuna pubblicazione " .. n .. " per " .. uri)
  end
  return pubblicate[uri][n]
end

-- 1. The embedded scenario: no diagnostic.
local prima = pubblicazione(1)
if #prima ~= 0 then
  return fallisci("l'esempio ha " .. #prima .. " diagnostici: " .. vim.inspect(prima))
end
local linea_uri = vim.uri_from_bufnr(linea)
if not pubblicate[linea_uri] or #pubblicate[linea_uri][#pubblicate[linea_uri]] ~= 0 then
  return fallisci("la linea non e' pulita: " .. vim.inspect(pubblicate[linea_uri]))
end
passo("nessun diagnostico sui sorgenti incorporati")

-- 2. A misspelt keyword: the warning at its line and column.
local righe = vim.api.nvim_buf_get_lines(treno, 0, -1, false)
local casalino
for i, r in ipairs(righe) do
  if r:find("Casalino", 1, true) then
    casalino = i - 1
  end
end
if not casalino then
  return fallisci("nessuna stazione Casalino")
end
vim.api.nvim_buf_set_text(treno, casalino, 0, casalino, 8, { "stazoine" })
-- Neovim 0.7 keeps the code of an LSP diagnostic in user_data.
local function codice(d)
  return d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code)
end
local trovato
vim.wait(attesa, function()
  for _, d in ipairs(vim.diagnostic.get(treno)) do
    if not trovato and codice(d) == "campo-ignorato" and d.lnum == casalino then
      trovato = d
    end
  end
  return trovato ~= nil
end, 20)
if not trovato or trovato.col ~= 0 or not trovato.message:find("forse `stazione`", 1, true) then
  return fallisci("manca l'avviso alla riga " .. casalino .. ": " .. vim.inspect(pubblicate[uri]))
end
passo("avviso alla riga " .. (casalino + 1) .. ", colonna " .. (trovato.col + 1) .. ": " .. trovato.message)

-- 3. Its quick fix, applied as the editor applies workspace edits.
local risposte = vim.lsp.buf_request_sync(treno, "textDocument/codeAction", {
  textDocument = { uri = uri },
  range = { start = { line = casalino, character = 2 }, ["end"] = { line = casalino, character = 2 } },
  context = { diagnostics = {} },
}, attesa)
local azione = risposte and risposte[id] and risposte[id].result and risposte[id].result[1]
if not azione or not azione.edit then
  return fallisci("nessuna correzione: " .. vim.inspect(risposte))
end
local quante = #pubblicate[uri]
vim.lsp.util.apply_workspace_edit(azione.edit, "utf-16")
local corretto = vim.api.nvim_buf_get_lines(treno, casalino, casalino + 1, false)[1]
if corretto:sub(1, 9) ~= "stazione," then
  return fallisci("la correzione ha scritto " .. corretto)
end
local pulita = vim.wait(attesa, function()
  return #pubblicate[uri] > quante and #pubblicate[uri][#pubblicate[uri]] == 0
end, 20)
if not pulita then
  return fallisci("l'avviso resta dopo la correzione: " .. vim.inspect(pubblicate[uri]))
end
passo("corretto con \"" .. azione.title .. "\": avviso sparito")

-- 4. Hover on a station: its km.
local rovella = casalino - 1
local sopra = vim.lsp.buf_request_sync(treno, "textDocument/hover", {
  textDocument = { uri = uri },
  position = { line = rovella, character = 2 },
}, attesa)
local testo = sopra and sopra[id] and sopra[id].result and sopra[id].result.contents.value or ""
if not testo:find("km 1+500", 1, true) then
  return fallisci("hover senza km: " .. vim.inspect(sopra))
end
passo("hover: " .. testo:match("stazione %*%*[^\n]*"))

-- 5. The columns: the field names before a station's values, folds per
-- section, semantic tokens.
local function chiedi(buf, metodo, parametri)
  local r = vim.lsp.buf_request_sync(buf, metodo, parametri, attesa)
  return r and r[id] and r[id].result
end
local nomi = chiedi(treno, "textDocument/inlayHint", {
  textDocument = { uri = uri },
  range = { start = { line = rovella, character = 0 }, ["end"] = { line = rovella + 1, character = 0 } },
}) or {}
if #nomi ~= 17 or nomi[1].label ~= "posizione:" or nomi[1].position.line ~= rovella then
  return fallisci("nomi dei campi della stazione: " .. vim.inspect(nomi))
end
local stazioni
for i, r in ipairs(vim.api.nvim_buf_get_lines(treno, 0, -1, false)) do
  if r == "[stazioni]" then
    stazioni = i - 1
  end
end
local piegata = false
for _, p in ipairs(chiedi(treno, "textDocument/foldingRange", { textDocument = { uri = uri } }) or {}) do
  piegata = piegata or (p.startLine == stazioni and p.endLine > stazioni)
end
if not piegata then
  return fallisci("nessuna piega per [stazioni] alla riga " .. tostring(stazioni))
end
local gettoni = chiedi(treno, "textDocument/semanticTokens/full", { textDocument = { uri = uri } })
if not gettoni or #gettoni.data < 5 * 17 then
  return fallisci("gettoni semantici: " .. vim.inspect(gettoni))
end
passo("17 nomi di campo su ROVELLA, piega [stazioni], " .. (#gettoni.data / 5) .. " gettoni")

-- 6. The line source formatted and saved: the compile's files are the same
-- bytes.
local function compila()
  vim.fn.system({ os.getenv("SCENARIO"), "compile", cartella })
  local byte = {}
  for _, nome in ipairs({ "Calvetra_linea.dat", "Calvetra_2718 - 5340.sim", "Calvetra_2718 - 5340.dat" }) do
    local h = io.open(cartella .. "/" .. nome, "rb")
    if not h then
      return nil
    end
    byte[nome] = h:read("*a")
    h:close()
  end
  return byte
end
local prima_dei_file = compila()
local modifiche = chiedi(linea, "textDocument/formatting", {
  textDocument = { uri = linea_uri },
  options = { tabSize = 4, insertSpaces = true },
}) or {}
if #modifiche == 0 or not prima_dei_file then
  return fallisci("nessuna formattazione: " .. vim.inspect(modifiche))
end
vim.lsp.util.apply_text_edits(modifiche, linea, "utf-16")
vim.api.nvim_buf_call(linea, function()
  vim.cmd("write")
end)
local dopo = compila()
for nome, b in pairs(prima_dei_file) do
  if not dopo or dopo[nome] ~= b then
    return fallisci("la formattazione ha cambiato " .. nome)
  end
end
local h = io.open(cartella .. "/Calvetra_linea.txt", "rb")
local salvato = h:read("*a")
h:close()
if salvato:find("[^\r]\n") then
  return fallisci("formattato senza CR LF")
end
passo(#modifiche .. " righe allineate; i file compilati sono gli stessi byte")

-- 7. A curve completed at the end of [curve], with its values typed:
-- nothing to say.
local pendenze
for i, r in ipairs(vim.api.nvim_buf_get_lines(linea, 0, -1, false)) do
  if r == "[pendenze]" then
    pendenze = i - 1
  end
end
vim.api.nvim_buf_set_lines(linea, pendenze, pendenze, false, { "cur" })
local voci = chiedi(linea, "textDocument/completion", {
  textDocument = { uri = linea_uri },
  position = { line = pendenze, character = 3 },
})
local curva
for _, v in ipairs(voci and voci.items or {}) do
  if v.label == "curva" then
    curva = v
  end
end
if not curva then
  return fallisci("nessuna curva da completare: " .. vim.inspect(voci))
end
vim.api.nvim_buf_set_lines(linea, pendenze, pendenze + 1, false, { curva.insertText .. "113000, 300" })
local quante_linea = #pubblicate[linea_uri]
local compilata = vim.wait(attesa, function()
  return #pubblicate[linea_uri] > quante_linea and #pubblicate[linea_uri][#pubblicate[linea_uri]] == 0
end, 20)
if not compilata then
  return fallisci("la curva completata non compila: " .. vim.inspect(pubblicate[linea_uri]))
end
passo("completata: " .. curva.insertText .. "113000, 300, nessun diagnostico")

-- 8. A second route folder: its own server; an accented name read from
-- Windows-1252, and a new one written back so, with CR LF.
local altro = apri(seconda, "Calvetra_2718 - 5340-.txt")
local secondo = server_di(altro)
if not secondo or secondo == id then
  return fallisci("la seconda cartella non ha un server suo: " .. tostring(secondo))
end
local righe_altro = vim.api.nvim_buf_get_lines(altro, 0, -1, false)
local accentata
for i, r in ipairs(righe_altro) do
  if r:find("ROVELL\195\128", 1, true) then
    accentata = i - 1
  end
end
if not accentata then
  return fallisci("ROVELL\195\128 non letto come Windows-1252: " .. table.concat(righe_altro, " | "))
end
local r = vim.api.nvim_buf_get_lines(altro, accentata, accentata + 1, false)[1]
vim.api.nvim_buf_set_lines(altro, accentata, accentata + 1, false, { (r:gsub("ROVELL\195\128", "PIET\195\128")) })
vim.cmd("write")
local f = io.open(seconda .. "/Calvetra_2718 - 5340-.txt", "rb")
local byte = f:read("*a")
f:close()
if not byte:find("PIET\192", 1, true) or byte:find("\195", 1, true) or not byte:find("\r\n", 1, true)
    or byte:find("[^\r]\n") then
  return fallisci("salvato non in Windows-1252 con CR LF")
end
passo("seconda cartella: un altro server; PIET\195\128 salvato come un byte, righe CR LF")

-- 9. shutdown and exit: each server ends with 0.
vim.lsp.stop_client({ id, secondo })
if not vim.wait(attesa, function() return uscite[id] ~= nil and uscite[secondo] ~= nil end, 20) then
  return fallisci("i server non sono usciti")
end
if uscite[id] ~= 0 or uscite[secondo] ~= 0 then
  return fallisci("i server sono usciti con " .. tostring(uscite[id]) .. " e " .. tostring(uscite[secondo]))
end
passo("server usciti con 0")
vim.cmd("qa!")

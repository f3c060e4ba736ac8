-- The end-to-end test of `scenario lsp` in Neovim (Debian's 0.7), set up by
-- the README's own snippet (INIT): it finds the server in the build folder,
-- starts one for each route folder and keeps the sources in Windows-1252
-- with CR LF. Opens the embedded sources, sees no diagnostic, misspells a
-- keyword and sees the warning at its line and column, applies the quick
-- fix and sees it cleared, hovers a station and reads its km; in a second
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

-- 5. A second route folder: its own server; an accented name read from
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

-- 6. shutdown and exit: each server ends with 0.
vim.lsp.stop_client({ id, secondo })
if not vim.wait(attesa, function() return uscite[id] ~= nil and uscite[secondo] ~= nil end, 20) then
  return fallisci("i server non sono usciti")
end
if uscite[id] ~= 0 or uscite[secondo] ~= 0 then
  return fallisci("i server sono usciti con " .. tostring(uscite[id]) .. " e " .. tostring(uscite[secondo]))
end
passo("server usciti con 0")
vim.cmd("qa!")

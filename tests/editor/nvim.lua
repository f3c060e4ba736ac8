-- The end-to-end test of `scenario lsp` in Neovim (Debian's 0.7: start_client
-- and buf_attach_client). Opens the embedded sources, sees no diagnostic,
-- misspells a keyword and sees the warning at its line and column, applies
-- the quick fix and sees it cleared, hovers a station and reads its km, then
-- shuts the server down and checks that it exited with 0.
local scenario = os.getenv("SCENARIO")
local cartella = os.getenv("CARTELLA")
local attesa = 10000

local function fallisci(perche)
  io.stderr:write("lsp_neovim: FALLITO: " .. perche .. "\n")
  vim.cmd("cq 1")
end
local function passo(cosa)
  io.stdout:write("lsp_neovim: " .. cosa .. "\n")
end

-- Every publication, by URI, in order.
local pubblicate = {}
local uscita = nil
local id = vim.lsp.start_client({
  name = "scenario",
  cmd = { scenario, "lsp" },
  root_dir = cartella,
  handlers = {
    ["textDocument/publishDiagnostics"] = function(err, result, ctx, config)
      pubblicate[result.uri] = pubblicate[result.uri] or {}
      table.insert(pubblicate[result.uri], result.diagnostics)
      return vim.lsp.handlers["textDocument/publishDiagnostics"](err, result, ctx, config)
    end,
  },
  on_exit = function(codice)
    uscita = codice
  end,
})
if not id then
  return fallisci("start_client non ha avviato " .. scenario)
end

local function apri(nome)
  vim.cmd("edit " .. vim.fn.fnameescape(cartella .. "/" .. nome))
  local buf = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buf, id)
  return buf
end
local linea = apri("Calvetra_linea.txt")
local treno = apri("Calvetra_2718 - 5340-.txt")
local uri = vim.uri_from_bufnr(treno)

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

-- 5. shutdown and exit: the server ends with 0.
vim.lsp.stop_client(id)
if not vim.wait(attesa, function() return uscita ~= nil end, 20) then
  return fallisci("il server non e' uscito")
end
if uscita ~= 0 then
  return fallisci("il server e' uscito con " .. tostring(uscita))
end
passo("server uscito con 0")
vim.cmd("qa!")

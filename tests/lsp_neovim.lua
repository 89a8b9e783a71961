-- Run by test_language_server in a headless Neovim: attaches the language
-- server to a script, waits for its diagnostics, asks for completions, a
-- hover and a definition through Neovim's own client, and writes what came
-- back, one line each, to $MORVANEO_LSP_OUT.
local server = os.getenv("MORVANEO_LSP_SERVER")
local script = os.getenv("MORVANEO_LSP_SCRIPT")
local out = {}

local function finish()
  local f = assert(io.open(os.getenv("MORVANEO_LSP_OUT"), "w"))
  f:write(table.concat(out, "\n") .. "\n")
  f:close()
  vim.cmd("qall!")
end

local ok, err = pcall(function()
  vim.cmd("edit " .. vim.fn.fnameescape(script))
  local buf = vim.api.nvim_get_current_buf()
  local client = vim.lsp.start_client({ name = "morvaneo", cmd = { server }, root_dir = vim.fn.fnamemodify(script, ":h") })
  assert(client, "the server did not start")
  vim.lsp.buf_attach_client(buf, client)
  vim.wait(20000, function() return #vim.diagnostic.get(buf) > 0 end, 20)
  local diagnostics = vim.diagnostic.get(buf)
  table.sort(diagnostics, function(a, b) return a.lnum < b.lnum or (a.lnum == b.lnum and a.col < b.col) end)
  for _, d in ipairs(diagnostics) do
    table.insert(out, string.format("diagnostic %d:%d-%d:%d %s %s %d", d.lnum + 1, d.col + 1, d.end_lnum + 1,
      d.end_col + 1, d.source, d.message, d.severity))
  end

  local function ask(method, line, character)
    local params = { textDocument = vim.lsp.util.make_text_document_params(buf),
                     position = { line = line, character = character } }
    local answers = vim.lsp.buf_request_sync(buf, method, params, 20000) or {}
    for _, a in pairs(answers) do
      if a.error then table.insert(out, method .. " error " .. a.error.message) end
      return a.result
    end
  end
  for _, at in ipairs({ { 5, 2 }, { 6, 3 } }) do
    local items = ask("textDocument/completion", at[1], at[2]) or {}
    for _, item in ipairs(items.items or items) do
      table.insert(out, string.format("completion %s %d", item.label, item.kind))
    end
  end
  local hover = ask("textDocument/hover", 9, 3)
  table.insert(out, "hover " .. (hover and hover.contents.value or "none"))
  local definition = ask("textDocument/definition", 8, 11)
  if definition and definition.uri then definition = { definition } end
  for _, d in ipairs(definition or {}) do
    table.insert(out, string.format("definition %s %d:%d", vim.uri_to_fname(d.uri) == vim.fn.fnamemodify(script, ":p")
      and "same-file" or d.uri, d.range.start.line + 1, d.range.start.character + 1))
  end
end)
if not ok then table.insert(out, "lua error " .. tostring(err)) end
finish()

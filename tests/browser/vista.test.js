// The page of `scenario view` driven in the system Chromium, headless:
// the embedded route (read from the binary files that calvetra writes), a
// small scenario with an error (compiled from its sources) and a route of
// 1000000 m. Fails on any console error or uncaught exception.
//
// Usage: node vista.test.js BUILD_DIR
'use strict';

const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');

const build = path.resolve(process.argv[2] || 'build');
const uscite = path.join(build, 'vista');
fs.mkdirSync(uscite, { recursive: true });
const lavoro = fs.mkdtempSync(path.join(os.tmpdir(), 'vista-prova-'));

// CR LF text, as the sources are written.
function crlf(righe) { return righe.map((r) => r + '\r\n').join(''); }

function pagina(cartella, nome) {
  const file = path.join(uscite, nome + '.html');
  execFileSync(path.join(build, 'scenario'), ['view', cartella, '-o', file]);
  return file;
}

// The embedded route: calvetra alone in a directory writes its binary files.
function percorso_incorporato() {
  const cartella = path.join(lavoro, 'calvetra');
  fs.mkdirSync(cartella);
  fs.copyFileSync(path.join(build, 'calvetra'), path.join(cartella, 'calvetra'));
  fs.chmodSync(path.join(cartella, 'calvetra'), 0o755);
  execFileSync(path.join(cartella, 'calvetra'), [], { cwd: cartella });
  return pagina(cartella, 'calvetra');
}

// Two signals in one cell: error 16 at 9000 m.
function scenario_con_errore() {
  const cartella = path.join(lavoro, 'errore');
  fs.mkdirSync(cartella);
  fs.writeFileSync(path.join(cartella, 'Calvetra_linea.txt'), crlf([
    '[generale]', 'lunghezza percorso, 20000', '[curve]', 'curvad4, 2000, 800',
    'pendenza, 0, 0', 'pendenza, 5000, 12', 'cartello_indicatore, 3000, Ponte', '[fine]']), 'latin1');
  fs.writeFileSync(path.join(cartella, 'Calvetra_2718 - 5340-.txt'), crlf([
    '[generale]', 'velocita, 0, 100',
    'stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, Porto Alto',
    'segnale, 6000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0',
    'segnale, 9000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0',
    'segnale, 9010, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0', '[fine]']), 'latin1');
  return pagina(cartella, 'errore');
}

// The longest route there is, with a signal every kilometre and a curve
// every five.
function percorso_lungo() {
  const cartella = path.join(lavoro, 'lungo');
  fs.mkdirSync(cartella);
  const linea = ['[generale]', 'lunghezza percorso, 1000000', '[curve]'];
  for (let m = 2000; m < 990000; m += 5000) linea.push('curva' + (m % 2 ? 's' : 'd') + (1 + (m / 5000) % 6) + ', ' + m + ', 1000');
  for (let m = 0; m < 990000; m += 7000) linea.push('pendenza, ' + m + ', ' + ((m / 7000) % 21 - 10));
  linea.push('[fine]');
  const treno = ['[generale]', 'velocita, 0, 100'];
  for (let m = 10000; m < 990000; m += 10000) treno.push('velocita, ' + m + ', ' + (60 + (m / 10000) % 8 * 10));
  for (let m = 1000; m < 990000; m += 1000) treno.push('segnale, ' + m + ', 1, 5, 1, 0, 0, 0, 0, 0, 0, 0');
  treno.push('[fine]');
  fs.writeFileSync(path.join(cartella, 'Calvetra_linea.txt'), crlf(linea), 'latin1');
  fs.writeFileSync(path.join(cartella, 'Calvetra_2718 - 5340-.txt'), crlf(treno), 'latin1');
  return pagina(cartella, 'lungo');
}

async function apri(contesto, file, errori) {
  const p = await contesto.newPage();
  p.on('console', (m) => { if (m.type() === 'error') errori.push(file + ': ' + m.text()); });
  p.on('pageerror', (e) => errori.push(file + ': ' + e.message));
  p.on('request', (r) => { if (!r.url().startsWith('file:') && !r.url().startsWith('data:')) errori.push('rete: ' + r.url()); });
  await p.goto('file://' + file);
  await p.waitForFunction(() => document.body.dataset.pronto === '1');
  return p;
}

const pannello = (p) => p.textContent('#ispeziona');
const centro = (p) => p.evaluate(() => visore.stato.inizio + visore.stato.mpp * (document.getElementById('profilo').clientWidth - 92) / 2);

async function prova_incorporato(contesto, errori) {
  const file = percorso_incorporato();
  assert.ok(fs.statSync(file).size <= 3 * 1024 * 1024, 'the page of the embedded route is at most 3 MB');
  const p = await apri(contesto, file, errori);
  const pronto = await p.evaluate(() => visore.tempi.pronto_ms);
  console.log('embedded route: ' + fs.statSync(file).size + ' bytes, interactive after ' + Math.round(pronto) + ' ms');
  assert.ok(pronto < 1000, 'interactive within 1 s, not ' + pronto + ' ms');

  // Find a position, then zoom with the button and the wheel to single cells.
  const segnale = await p.evaluate(() => visore.oggetti.find((o) => o.nome_tipo === 'segnale' && o.c > 400));
  await p.fill('#cerca-testo', String((segnale.c - 1) * 50));
  await p.press('#cerca-testo', 'Enter');
  for (let i = 0; i < 3; i++) await p.click('#ingrandisci');
  const box = await p.locator('#profilo').boundingBox();
  await p.mouse.move(box.x + box.width / 2, box.y + 200);
  while (await p.evaluate(() => visore.stato.mpp > 0.4)) await p.mouse.wheel(0, -300);
  await p.waitForTimeout(50);
  const scala = await p.textContent('#scala');
  assert.match(scala, /px per cella/);

  // Hover the signal: the panel shows its values as dump names them.
  const punto = await p.evaluate((c) => visore.punto_cella(c, 0), segnale.c);
  await p.mouse.move(punto.x, punto.y);
  await p.waitForTimeout(50);
  const testo = await pannello(p);
  assert.match(testo, /segnale/);
  assert.match(testo, new RegExp('cella' + segnale.c + ' '));
  assert.match(testo, new RegExp('valore_a' + segnale.valore_a));
  assert.match(testo, new RegExp('valore_d' + segnale.valore_d));
  assert.match(testo, new RegExp('classe di cabina' + segnale.significato['classe di cabina']));
  assert.match(testo, /file binari/);

  // Pan by dragging and with the keys.
  const prima = await p.evaluate(() => visore.stato.inizio);
  await p.mouse.down();
  await p.mouse.move(punto.x - 150, punto.y, { steps: 5 });
  await p.mouse.up();
  const dopo = await p.evaluate(() => visore.stato.inizio);
  assert.ok(dopo > prima, 'dragging left moves the view on');
  await p.keyboard.press('ArrowLeft');
  assert.ok(await p.evaluate(() => visore.stato.inizio) < dopo, 'the left key moves the view back');

  // Find a station by a prefix of its name in another case.
  const stazione = await p.evaluate(() => visore.dati.righe.find((r) => r.uso === 'stazione' && r.riga === 3));
  await p.fill('#cerca-testo', stazione.nome.slice(0, 4).toLowerCase());
  await p.press('#cerca-testo', 'Enter');
  await p.waitForTimeout(50);
  assert.match(await pannello(p), new RegExp('stazione ' + stazione.nome));
  assert.ok(Math.abs(await centro(p) - stazione.posizione) < 100, 'the view is centred on the station');

  // Find a position in both forms, a sign by its text, and nothing.
  for (const [testo, metri] of [['27+250', 27250], ['27250', 27250], ['3+005', 3005]]) {
    await p.fill('#cerca-testo', testo);
    await p.press('#cerca-testo', 'Enter');
    assert.ok(Math.abs(await centro(p) - metri) < 2, testo + ' centres the view at ' + metri);
    assert.match(await pannello(p), new RegExp('cella ' + Math.floor(metri / 50)));
  }
  const cartello = await p.evaluate(() => {
    const r = visore.dati.righe.find((r) => r.uso === 'cartello' && r.nome.startsWith('(GALLERIA'));
    return visore.oggetti.find((o) => o.nome_tipo === 'cartello' && o.riga === r.riga);
  });
  await p.fill('#cerca-testo', '(gall');
  await p.press('#cerca-testo', 'Enter');
  assert.match(await pannello(p), /cartello/);
  assert.ok(Math.abs(await centro(p) - (cartello.c + 0.5) * 50) < 2, 'the view is centred on the sign');
  await p.fill('#cerca-testo', 'nessuna stazione');
  await p.press('#cerca-testo', 'Enter');
  assert.strictEqual(await p.textContent('#cerca-esito'), 'non trovato');

  // The 0 key shows the whole route again.
  await p.focus('#profilo');
  await p.keyboard.press('0');
  await p.waitForTimeout(50);
  assert.match(await p.textContent('#scala'), /^0\+000 \u2013 12\d\+\d{3}/);

  // Back to a cell for the picture.
  await p.fill('#cerca-testo', '27+250');
  await p.press('#cerca-testo', 'Enter');
  await p.click('#tutto');
  for (let i = 0; i < 5; i++) await p.click('#ingrandisci');
  const st = await p.evaluate(() => visore.dati.righe.find((r) => r.uso === 'stazione' && r.riga === 6));
  await p.fill('#cerca-testo', st.nome.slice(0, 5));
  await p.press('#cerca-testo', 'Enter');
  await p.waitForTimeout(100);
  await p.screenshot({ path: path.join(build, 'vista.png') });
  await p.close();
}

async function prova_errore(contesto, errori) {
  const p = await apri(contesto, scenario_con_errore(), errori);
  const voci = p.locator('#diagnostica li');
  assert.strictEqual(await voci.count(), 1);
  await voci.first().click();
  await p.waitForTimeout(50);
  const testo = await pannello(p);
  assert.match(testo, /errore 16 \(posizione 9\.?010 m\)/);
  assert.match(testo, /Calvetra_2718 - 5340-\.txt:6:10/);
  assert.ok(Math.abs(await centro(p) - 9010) < 60, 'the view is centred on the error');

  // The signal that took the cell leads back to its record.
  const segnale = await p.evaluate(() => visore.oggetti.find((o) => o.nome_tipo === 'segnale' && o.c === 181));
  const punto = await p.evaluate((c) => visore.punto_cella(c, 0), segnale.c);
  await p.mouse.move(punto.x, punto.y);
  await p.waitForTimeout(50);
  const sorgente = await pannello(p);
  assert.match(sorgente, /Calvetra_2718 - 5340-\.txt, riga 5, colonna 1/);
  assert.match(sorgente, /segnale, 9000, 1, 5/);
  // The cell's gradient byte, decoded by the tool.
  assert.match(sorgente, /pendenza\+12 \u2030/);
  await p.close();
}

async function prova_lungo(contesto, errori) {
  const p = await apri(contesto, percorso_lungo(), errori);
  const pronto = await p.evaluate(() => visore.tempi.pronto_ms);
  const box = await p.locator('#profilo').boundingBox();
  await p.mouse.move(box.x + box.width * 0.7, box.y + 200);
  let peggiore = await p.evaluate(() => visore.tempi.ultimo_disegno_ms);
  for (let i = 0; i < 12; i++) {
    await p.mouse.wheel(0, -400);
    await p.waitForTimeout(20);
    peggiore = Math.max(peggiore, await p.evaluate(() => visore.tempi.ultimo_disegno_ms));
  }
  console.log('1000000 m route: interactive after ' + Math.round(pronto) + ' ms, slowest frame ' +
    peggiore.toFixed(1) + ' ms');
  assert.ok(peggiore < 100, 'every frame of the long route draws in under 100 ms');
  await p.close();
}

(async () => {
  const profilo = fs.mkdtempSync(path.join(os.tmpdir(), 'vista-chromium-'));
  const contesto = await chromium.launchPersistentContext(profilo, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1500, height: 900 },
  });
  const errori = [];
  let esito = 0;
  try {
    // The small page first: the browser has found its fonts by the time the
    // embedded route is timed.
    await prova_errore(contesto, errori);
    await prova_incorporato(contesto, errori);
    await prova_lungo(contesto, errori);
    assert.deepStrictEqual(errori, [], 'no console errors');
    console.log('vista: all browser checks passed; picture in ' + path.join(build, 'vista.png'));
  } catch (e) {
    console.error(e);
    esito = 1;
  } finally {
    await contesto.close();
    fs.rmSync(profilo, { recursive: true, force: true });
    fs.rmSync(lavoro, { recursive: true, force: true });
  }
  process.exit(esito);
})();

// The page of `scenario view` driven in the system Chromium, headless:
// the embedded route (read from the binary files that calvetra writes), a
// small scenario with an error (compiled from its sources) and a route of
// 1000000 m. Fails on any console error or uncaught exception.
//
// The times (interactive, frames, wheel steps) are printed; they are held
// to their targets only with --tempi, as bench/browser.sh runs it on a
// quiet machine: a shared machine stalls any page, and CTest checks what
// the page does, not how fast.
//
// Usage: node vista.test.js BUILD_DIR [--tempi]
'use strict';

const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');
const { crlf, scrivi_percorso_lungo } = require('./percorsi');

const build = path.resolve(process.argv[2] || 'build');
const misura = process.argv.includes('--tempi');
const uscite = path.join(build, 'vista');
fs.mkdirSync(uscite, { recursive: true });
const lavoro = fs.mkdtempSync(path.join(os.tmpdir(), 'vista-prova-'));

// CR LF text, as the sources are written.

// The editor template every page is written with, and the link it makes.
const EDITOR = 'vscode://file/{path}:{line}:{col}';

function pagina(cartella, nome) {
  const file = path.join(uscite, nome + '.html');
  execFileSync(path.join(build, 'scenario'), ['view', '--editor', EDITOR, cartella, '-o', file]);
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

// Two signals in one cell: error 16 at 9000 m; a speed limit with its unit
// glued on, a warning at 7000 m.
function scenario_con_errore() {
  const cartella = path.join(lavoro, 'errore');
  fs.mkdirSync(cartella);
  fs.writeFileSync(path.join(cartella, 'Calvetra_linea.txt'), crlf([
    '[generale]', 'lunghezza percorso, 20000', '[curve]', 'curvad4, 2000, 800',
    'pendenza, 0, 0', 'pendenza, 5000, 12', 'cartello_indicatore, 3000, Ponte', '[fine]']), 'latin1');
  fs.writeFileSync(path.join(cartella, 'Calvetra_2718 - 5340-.txt'), crlf([
    '[generale]', 'velocita, 0, 100', 'velocita, 7000, 80km/h',
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
  scrivi_percorso_lungo(cartella);
  return pagina(cartella, 'lungo');
}

async function apri(contesto, file, errori, indirizzo) {
  const p = await contesto.newPage();
  p.on('console', (m) => { if (m.type() === 'error') errori.push(file + ': ' + m.text()); });
  p.on('pageerror', (e) => errori.push(file + ': ' + e.message));
  p.on('request', (r) => { if (!r.url().startsWith('file:') && !r.url().startsWith('data:')) errori.push('rete: ' + r.url()); });
  await p.goto('file://' + file + (indirizzo || ''));
  await p.waitForFunction(() => document.body.dataset.pronto === '1');
  return p;
}

const pannello = (p) => p.textContent('#ispeziona');
const centro = (p) => p.evaluate(() => visore.stato.inizio + visore.stato.mpp * (document.getElementById('profilo').clientWidth - 92) / 2);
const ampiezza = (p) => p.evaluate(() => visore.stato.mpp * (document.getElementById('profilo').clientWidth - 92));
async function cerca(p, testo) {
  await p.fill('#cerca-testo', testo);
  await p.press('#cerca-testo', 'Enter');
  await p.waitForTimeout(30);
}
async function sopra(p, c, striscia) {
  const punto = await p.evaluate(([c, k]) => visore.punto_cella(c, k), [c, striscia]);
  await p.mouse.move(punto.x, punto.y);
  await p.waitForTimeout(50);
  return punto;
}

// The labels of the page clear of the lines drawn near them: no station name
// on either plan crossed by the route (its points as the page drew them,
// each segment tested against each name's box), no km/h label of the
// profile crossed by a line of its grid or frame; and the summary whole.
async function etichette_libere(p, quando) {
  const esito = await p.evaluate(() => {
    const guasti = [];
    let nomi = 0;
    // Whether the segment a-b meets the box r (Liang-Barsky clipping).
    function incrocia(ax, ay, bx, by, r) {
      let t0 = 0, t1 = 1;
      const dx = bx - ax, dy = by - ay;
      for (const [pp, q] of [[-dx, ax - r.x0], [dx, r.x1 - ax], [-dy, ay - r.y0], [dy, r.y1 - ay]]) {
        if (pp === 0) { if (q < 0) return false; continue; }
        const t = q / pp;
        if (pp < 0) t0 = Math.max(t0, t); else t1 = Math.min(t1, t);
        if (t0 > t1) return false;
      }
      return true;
    }
    for (const id of Object.keys(visore.etichette_piante)) {
      const e = visore.etichette_piante[id];
      const q = e.punti;
      for (const r of e.nomi) {
        nomi++;
        for (let k = 2; k + 1 < q.length; k += 2) {
          if (isNaN(q[k]) || isNaN(q[k - 2])) continue;
          if (incrocia(q[k - 2], q[k - 1], q[k], q[k + 1], r)) {
            guasti.push(id + ': ' + r.nome + ' crossed by the route');
            break;
          }
        }
      }
    }
    const s = visore.scala_velocita;
    for (const r of s.etichette) {
      for (const l of s.linee) if (l.y >= r.y0 && l.y <= r.y1) guasti.push('km/h ' + r.v + ' crossed by the line at ' + l.y);
    }
    const riassunto = document.getElementById('riassunto');
    if (riassunto.scrollWidth > riassunto.clientWidth + 1) guasti.push('the summary is cut');
    return { guasti: guasti, nomi: nomi, scala: s.etichette.length };
  });
  assert.deepStrictEqual(esito.guasti, [], quando + ': labels clear of the lines');
  assert.ok(esito.nomi > 0, quando + ': some station names on the plans');
  assert.ok(esito.scala >= 2, quando + ': at least two km/h labels');
}

// Every element of the page inside the window: nothing cut off or pushed
// below the fold (the panel and the list scroll inside themselves).
async function tutto_visibile(p, quando) {
  const fuori = await p.evaluate(() => {
    const w = innerWidth, h = innerHeight, fuori = [];
    if (document.documentElement.scrollHeight > h || document.documentElement.scrollWidth > w) fuori.push('the page scrolls');
    document.querySelectorAll('header *, #viste, #viste > *, #legenda span, aside, #diagnostica-titolo, #ispeziona > h3, #ispeziona > .sorgente').forEach((e) => {
      const r = e.getBoundingClientRect();
      if (r.width === 0 && r.height === 0) return;
      if (r.left < -0.5 || r.top < -0.5 || r.right > w + 0.5 || r.bottom > h + 0.5) fuori.push((e.id || e.className || e.tagName) + ' ' + JSON.stringify([r.left, r.top, r.right, r.bottom]));
    });
    return fuori;
  });
  assert.deepStrictEqual(fuori, [], quando + ': every element inside the window');
}

async function prova_incorporato(contesto, errori) {
  const file = percorso_incorporato();
  assert.ok(fs.statSync(file).size <= 3 * 1024 * 1024, 'the page of the embedded route is at most 3 MB');
  const p = await apri(contesto, file, errori);
  const pronto = await p.evaluate(() => visore.tempi.pronto_ms);
  console.log('embedded route: ' + fs.statSync(file).size + ' bytes, interactive after ' + Math.round(pronto) + ' ms');
  if (misura) assert.ok(pronto < 1000, 'interactive within 1 s, not ' + pronto + ' ms');

  // Find a position, then zoom with the button and the wheel to single cells.
  const segnale = await p.evaluate(() => visore.oggetti.find((o) => o.nome_tipo === 'segnale' && o.c > 400));
  await cerca(p, String((segnale.c - 1) * 50));
  for (let i = 0; i < 3; i++) await p.click('#ingrandisci');
  const box = await p.locator('#profilo').boundingBox();
  await p.mouse.move(box.x + box.width / 2, box.y + 200);
  while (await p.evaluate(() => visore.stato.mpp > 0.4)) await p.mouse.wheel(0, -300);
  await p.waitForTimeout(50);
  assert.match(await p.textContent('#scala'), /px per cella/);

  // Hover the signal: its label and the panel say what its record says, the
  // stored codes are there too, folded.
  const punto = await sopra(p, segnale.c, 0);
  const testo = await pannello(p);
  const campo = (o, k) => o.record.campi.find((x) => x[0] === k)[1];
  assert.strictEqual(await p.evaluate((o) => visore.etichetta(o), segnale),
    'sx' + campo(segnale, 'sx') + ' ' + campo(segnale, 's1') + '-' + campo(segnale, 's2') + '-' + campo(segnale, 's3'));
  assert.match(testo, /^segnale a \d+\+\d{3}/);
  for (const k of ['sx', 's1', 's2', 's3', 'rapp', 'dx', 'd1', 'tempo']) assert.match(testo, new RegExp('\\(' + k + '\\)' + campo(segnale, k)));
  assert.match(testo, /classe del segnale \(sx\)/);
  assert.match(testo, new RegExp('preavviso' + 'codici ' + segnale.preavviso[0] + ' \u2013 ' + segnale.preavviso[1]));
  assert.match(testo, /velocit\u00e0 massima\d+ km\/h/);
  assert.match(testo, /codici memorizzati/);
  assert.match(testo, new RegExp('valore_a' + segnale.valore_a));
  assert.match(testo, new RegExp('classe di cabina' + segnale.significato['classe di cabina']));
  assert.ok(await p.locator('#ispeziona details.codici').evaluate((d) => !d.open), 'the codes are folded');
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

  // A slowdown, from the speed track: its record's fields with their units.
  const r = await p.evaluate(() => visore.dati.rallentamenti[0]);
  await p.evaluate((r) => visore.centra((r.da + r.a) / 2, 2000), r);
  await p.waitForTimeout(50);
  const pv = await p.evaluate((r) => visore.punto_velocita((r.da + r.a) / 2), r);
  await p.mouse.move(pv.x, pv.y);
  await p.waitForTimeout(50);
  const pr = await pannello(p);
  assert.match(pr, /^inizio del rallentamento a \d+\+\d{3}/);
  assert.match(pr, new RegExp('\\(v\\)' + r.kmh + ' km/h'));
  assert.match(pr, new RegExp('lunghezza \\(l\\)' + (r.a - r.da) + ' m'));

  // A station found by a word of its name in another case: the panel gives
  // its record, zone and time.
  const stazione = await p.evaluate(() => visore.dati.righe.find((r) => r.uso === 'stazione' && r.riga === 8));
  await cerca(p, stazione.nome.split(' ').pop().toLowerCase());
  const pst = await pannello(p);
  assert.match(pst, new RegExp('^stazione ' + stazione.nome));
  assert.match(pst, /posizione \(position\)27\+250/);
  assert.match(pst, /lunghezza \(length\)500 m/);
  assert.match(pst, /zona27\+000 \u2013 27\+500/);
  assert.match(pst, /orario \(hours, minutes, seconds\)08:22:00/);
  assert.ok(Math.abs(await centro(p) - stazione.posizione) < 100, 'the view is centred on the station');

  // Positions in all four forms.
  for (const [testo, metri] of [['27+250', 27250], ['27250', 27250], ['27.250', 27250], ['27,250', 27250], ['3+005', 3005]]) {
    await cerca(p, testo);
    assert.ok(Math.abs(await centro(p) - metri) < 2, testo + ' centres the view at ' + metri);
    assert.match(await pannello(p), new RegExp('cella ' + Math.floor(metri / 50)));
  }
  // A word inside sign texts, in any case: the matches in route order, Enter
  // again steps to the next.
  const gallerie = await p.evaluate(() => visore.oggetti.filter((o) => o.nome_tipo === 'cartello' &&
    /galleria/i.test(visore.dati.righe.find((r) => r.riga === o.riga).nome)).map((o) => o.c).sort((a, b) => a - b));
  assert.ok(gallerie.length >= 2, 'the route has tunnels');
  for (let k = 0; k < 2; k++) {
    await cerca(p, 'galleria');
    assert.strictEqual(await p.textContent('#cerca-esito'), (k + 1) + ' di ' + gallerie.length);
    assert.match(await pannello(p), /^cartello a /);
    assert.ok(Math.abs(await centro(p) - (gallerie[k] + 0.5) * 50) < 2, 'match ' + (k + 1) + ' in route order');
  }
  await cerca(p, 'FINE');
  assert.match(await pannello(p), /FINE/);
  await cerca(p, 'nessuna stazione');
  assert.strictEqual(await p.textContent('#cerca-esito'), 'non trovato');

  // The 0 key shows the whole route again; the address follows the view.
  await p.focus('#profilo');
  await p.keyboard.press('0');
  await p.waitForTimeout(50);
  assert.match(await p.textContent('#scala'), /^0\+000 \u2013 12\d\+\d{3}/);
  await cerca(p, '27+250');
  await p.waitForTimeout(300);
  assert.match(await p.evaluate(() => location.hash), /^#2725\d@2km$/);

  // Kinds: every signal, station or slowdown in route order, one Enter after
  // the other.
  for (const [tipo, quanti] of [['segnale', await p.evaluate(() => visore.oggetti.filter((o) => o.nome_tipo === 'segnale').length)],
    ['stazioni', await p.evaluate(() => visore.dati.righe.filter((r) => r.uso === 'stazione').length)],
    ['rallentamento', await p.evaluate(() => visore.dati.rallentamenti.length)]]) {
    assert.ok(quanti >= 2, 'the route has two ' + tipo + ' at least');
    let prima = -Infinity;
    for (let k = 0; k < 3; k++) {
      await cerca(p, tipo);
      assert.strictEqual(await p.textContent('#cerca-esito'), (k % quanti + 1) + ' di ' + quanti, tipo);
      const qui = await p.evaluate(() => visore.stato.cursore);
      if (k < quanti) assert.ok(qui > prima, tipo + ': match ' + (k + 1) + ' further on');
      prima = qui;
    }
    assert.match(await pannello(p), tipo === 'segnale' ? /^segnale a / : tipo === 'stazioni' ? /^stazione / : /rallentamento a /);
  }

  // At 1280 x 720 and 1920 x 1080 a station's panel and the whole page fit,
  // source box included, and no label is crossed by a line: the whole route
  // and a part of it.
  for (const [w, h] of [[1920, 1080], [1280, 720]]) {
    await p.setViewportSize({ width: w, height: h });
    await p.click('#tutto');
    await p.waitForTimeout(100);
    await etichette_libere(p, 'the whole embedded route at ' + w + ' x ' + h);
    for (let i = 0; i < 5; i++) await p.click('#ingrandisci');
    await cerca(p, 'lorenzo');
    await p.waitForTimeout(100);
    await etichette_libere(p, 'the embedded route near a station at ' + w + ' x ' + h);
    await tutto_visibile(p, 'the embedded route at ' + w + ' x ' + h);
  }
  await p.screenshot({ path: path.join(build, 'vista.png') });
  await p.setViewportSize({ width: 1500, height: 900 });
  await p.close();

  // Reopened at an address: the same place and zoom.
  const q = await apri(contesto, file, errori, '#27250@2km');
  assert.ok(Math.abs(await centro(q) - 27250) < 2, 'the address gives the place');
  assert.ok(Math.abs(await ampiezza(q) - 2000) < 2, 'and the zoom');
  await q.close();
}

async function prova_errore(contesto, errori) {
  const p = await apri(contesto, scenario_con_errore(), errori);
  const voci = p.locator('#diagnostica li');
  assert.strictEqual(await voci.count(), 2);
  assert.strictEqual(await p.textContent('#diagnostica-titolo'), 'Diagnostica (1 errore, 1 avviso)');
  // The warning about the speed limit: a click on it moves the view to the
  // record's position, though the warning knows none of its own.
  await voci.filter({ hasText: 'avviso' }).first().locator('.gravita').click();
  await p.waitForTimeout(50);
  assert.ok(Math.abs(await centro(p) - 7000) < 60, 'the view is centred on the speed limit');
  await voci.filter({ hasText: 'errore' }).first().locator('.gravita').click();
  await p.waitForTimeout(50);
  const testo = await pannello(p);
  assert.match(testo, /errore 16 \(posizione 9\.?010 m, 9\+010\)/);
  assert.match(testo, /Calvetra_2718 - 5340-\.txt:7:10/);
  assert.ok(Math.abs(await centro(p) - 9010) < 60, 'the view is centred on the error');

  // The signal that took the cell leads back to its record, and the link
  // opens it in the editor.
  const segnale = await p.evaluate(() => visore.oggetti.find((o) => o.nome_tipo === 'segnale' && o.c === 181));
  await sopra(p, segnale.c, 0);
  const sorgente = await pannello(p);
  assert.match(sorgente, /Calvetra_2718 - 5340-\.txt:6:1/);
  assert.match(sorgente, /segnale, 9000, 1, 5/);
  const cartella = path.join(lavoro, 'errore');
  assert.strictEqual(await p.getAttribute('#ispeziona a.editor', 'href'),
    'vscode://file' + encodeURI(cartella + '/Calvetra_2718 - 5340-.txt') + ':6:1');
  // The cell's speed and gradient, in km/h and per mille.
  assert.match(sorgente, /velocit\u00e0 massima\d+ km\/h/);
  assert.match(sorgente, /pendenza\+12 \u2030/);
  // Fixed by a click, at 1280 x 720: the source box in sight, nothing cut.
  const punto = await sopra(p, segnale.c, 0);
  await p.mouse.click(punto.x, punto.y);
  await p.setViewportSize({ width: 1280, height: 720 });
  await p.waitForTimeout(100);
  await tutto_visibile(p, 'a signal from the sources at 1280 x 720');
  assert.strictEqual(await p.locator('#ispeziona > .sorgente').count(), 1);
  await p.close();

  // A warning about a place on the route is marked on the axis; a click on
  // the mark centres the view on it and shows it. (Written into the data:
  // it stands for any warning that carries a position.)
  const file = path.join(uscite, 'errore.html');
  const html = fs.readFileSync(file, 'utf8');
  const avviso = { gravita: 'avviso', codice: 0, nome: 'prova', messaggio: 'un avviso a 6000 m', posizione: 6000,
    con_posizione: true, luogo: -1, note: [] };
  const con_avviso = html.replace(/("diagnostica": \[)/, '$1' + JSON.stringify(avviso) + ',');
  assert.notStrictEqual(con_avviso, html);
  const file2 = path.join(uscite, 'avviso.html');
  fs.writeFileSync(file2, con_avviso);
  const q = await apri(contesto, file2, errori);
  assert.strictEqual(await q.textContent('#diagnostica-titolo'), 'Diagnostica (1 errore, 2 avvisi)');
  const x = await q.evaluate(() => visore.punto_diagnostico(0));
  assert.ok(x, 'the warning is marked on the axis');
  await q.mouse.click(x.x, x.y);
  await q.waitForTimeout(50);
  assert.match(await pannello(q), /avviso prova \(posizione 6\.?000 m, 6\+000\)/);
  assert.ok(Math.abs(await centro(q) - 6000) < 2, 'the view is centred on the warning');
  await q.close();
}

// The targets: a p95 frame under 20 ms, every frame drawn in under 20 ms, no
// long task over 50 ms, every wheel step shown within 50 ms.
function riuscito(e) {
  return e.p95 < 20 && e.lungo <= 50 && e.disegno < 20 && e.passi > 0 && e.rotella < 50;
}

// Frame times while zooming in and out with the wheel and dragging: each
// frame's time from one animation frame to the next, and the long tasks.
// Measured, the machine may be shared still: a run is repeated, up to five
// times, until one is free of the other work on it.
async function prova_lungo(contesto, errori) {
  const p = await apri(contesto, percorso_lungo(), errori);
  const pronto = await p.evaluate(() => visore.tempi.pronto_ms);
  const box = await p.locator('#profilo').boundingBox();
  let esito = null;
  for (let prova = 0; prova < (misura ? 5 : 1); prova++) {
    if (prova > 0) await p.waitForTimeout(1000); // let a burst of other work pass
    await p.keyboard.press('0');
    await p.waitForTimeout(100);
    await p.evaluate(() => {
      // Each wheel step from its event to the end of the frame that shows it.
      const m = window.__misura = { fotogrammi: [], lunghi: [], disegni: [], rotella_da: visore.tempi.passi_rotella.length };
      visore.tempi.ultimo_disegno_ms = 0;
      m.osservatore = new PerformanceObserver((l) => l.getEntries().forEach((e) => m.lunghi.push(e.duration)));
      m.osservatore.observe({ type: 'longtask' });
      let ultimo = null;
      const passo = (t) => {
        if (ultimo !== null) m.fotogrammi.push(t - ultimo);
        m.disegni.push(visore.tempi.ultimo_disegno_ms);
        ultimo = t;
        if (!m.fine) requestAnimationFrame(passo);
      };
      requestAnimationFrame(passo);
    });
    for (const [verso, volte] of [[-1, 25], [1, 25], [-1, 12]]) {
      await p.mouse.move(box.x + box.width * (verso < 0 ? 0.7 : 0.4), box.y + 200);
      for (let i = 0; i < volte; i++) await p.mouse.wheel(0, verso * 240);
    }
    await p.mouse.move(box.x + box.width * 0.8, box.y + 200);
    await p.mouse.down();
    await p.mouse.move(box.x + box.width * 0.2, box.y + 200, { steps: 40 });
    await p.mouse.up();
    await p.waitForTimeout(100);
    const m = await p.evaluate(() => {
      const m = window.__misura;
      m.fine = true;
      m.osservatore.disconnect();
      return { fotogrammi: m.fotogrammi, lunghi: m.lunghi, disegni: m.disegni, rotella: visore.tempi.passi_rotella.slice(m.rotella_da) };
    });
    const ordinati = m.fotogrammi.slice().sort((a, b) => a - b);
    const quantile = (q) => ordinati[Math.min(ordinati.length - 1, Math.floor(q * ordinati.length))];
    esito = { n: ordinati.length, mediana: quantile(0.5), p95: quantile(0.95), disegno: Math.max.apply(null, m.disegni),
      lunghi: m.lunghi.length, lungo: m.lunghi.length ? Math.max.apply(null, m.lunghi) : 0,
      passi: m.rotella.length, rotella: Math.max.apply(null, m.rotella.concat([0])) };
    console.log('1000000 m route: interactive after ' + Math.round(pronto) + ' ms; ' + esito.n +
      ' frames while zooming and panning: median ' + esito.mediana.toFixed(1) + ' ms, p95 ' + esito.p95.toFixed(1) +
      ' ms; slowest draw ' + esito.disegno.toFixed(1) + ' ms; ' + esito.lunghi + ' long tasks' +
      (esito.lunghi ? ', longest ' + esito.lungo.toFixed(0) + ' ms' : '') + '; ' + esito.passi +
      ' wheel steps, the slowest ' + esito.rotella.toFixed(1) + ' ms');
    if (riuscito(esito)) break;
  }
  assert.ok(esito.n > 0, 'the frames were counted');
  assert.ok(esito.passi > 0, 'the wheel steps were timed');
  if (misura) {
    assert.ok(esito.p95 < 20, 'p95 frame under 20 ms, not ' + esito.p95);
    assert.ok(esito.lungo <= 50, 'no long task over 50 ms, not ' + esito.lungo);
    assert.ok(esito.disegno < 20, 'every frame drawn in under 20 ms, not ' + esito.disegno);
    assert.ok(esito.rotella < 50, 'every wheel step shown within 50 ms, not ' + esito.rotella);
  }
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

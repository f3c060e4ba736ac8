// The page of `scenario view`: the profile along the route on a canvas that
// zooms from the whole route down to single 50 m cells, the plan beside it,
// the inspect panel, the find box and the diagnostics. All data comes from the
// JSON in the element #dati, with every stored value already decoded (kind
// names, positions, named values, km/h, per mille); nothing is fetched. A
// live page starts without data and takes each new state of the route from
// its server through `visore.carica`, keeping the view where it is.
(function () {
  'use strict';

  // The data and what follows from it; set again by `carica`.
  let D = null, MC = 50, N = 0, FINE = 0, L = 0;
  let oggetti = [], oggetto_in = new Map(), righe = {}, stazioni = [], cartelli = [];
  let strisce = [[], [], [], []], segni_montagna = [], sequenze = {}, rallentamenti = [];

  const COLORE = {
    stazione: '#1f4e9c', segnale: '#c62828', rallentamento: '#ef6c00', indicatori: '#37474f',
    cartello: '#78909c', abbattimento: '#6a1b9a', velocita: '#1565c0', salita: '#d84315',
    discesa: '#2e7d32', montagna: ['#d7ccc8', '#bcaaa4', '#8d6e63', '#5d4037'],
    errore: '#c62828', avviso: '#ef6c00', cursore: '#e91e63', visibile: '#ff9800'
  };
  // The strip of the objects track where each kind goes, and its colour.
  const STRISCIA = { segnale: 0, indicatori: 1, cartello: 1, fermata: 3 };
  function riga_di(nome) { return STRISCIA[nome] !== undefined ? STRISCIA[nome] : 2; }
  const COLORE_TIPO = {
    segnale: COLORE.segnale, indicatori: COLORE.indicatori, cartello: COLORE.cartello,
    abbattimento: COLORE.abbattimento, abbattimento_nullo: COLORE.abbattimento,
    fermata: COLORE.stazione, segno_montagna: COLORE.montagna[2]
  };
  function colore_di(nome) { return COLORE_TIPO[nome] || COLORE.rallentamento; }

  // ---- the data, in the shapes the drawing wants ----

  function leggi_dati(nuovi) {
    D = nuovi;
    MC = D.metri_cella;
    N = D.celle;
    FINE = N * MC; // end of the last cell
    L = D.lunghezza;
    // Each object as the data gives it, with its index and its cell as `c`.
    oggetti = D.oggetti.map(function (o, i) { o.i = i; o.c = o.cella; return o; });
    oggetto_in = new Map();
    oggetti.forEach(function (o) { oggetto_in.set(o.c, o); });
    righe = {};
    D.righe.forEach(function (r) { righe[r.riga] = r; });
    stazioni = D.righe.filter(function (r) { return r.uso === 'stazione'; });
    cartelli = D.righe.filter(function (r) { return r.uso === 'cartello'; });
    // Objects of each strip, in cell order (the JSON lists them so).
    strisce = [[], [], [], []];
    oggetti.forEach(function (o) { if (o.nome_tipo !== 'segno_montagna') strisce[riga_di(o.nome_tipo)].push(o); });
    segni_montagna = oggetti.filter(function (o) { return o.nome_tipo === 'segno_montagna'; });

    // Runs of each byte field: from cell, to cell, value (km/h for the speed,
    // per mille or null for the gradient).
    sequenze = {};
    Object.keys(D.sequenze).forEach(function (k) {
      const s = D.sequenze[k];
      sequenze[k] = { da: Int32Array.from(s.da), a: Int32Array.from(s.a), v: s.valore, r: s.raggiunta };
    });
    // Slowdowns: from the start cell to the end cell, with the start object.
    rallentamenti = D.rallentamenti.map(function (r) {
      return { da: r.cella_inizio, a: r.cella_fine, v: r.kmh, inizio: oggetto_in.get(r.cella_inizio) };
    });
  }
  // The index of the run holding cell c (the last run starting at or before it).
  function indice_sequenza(q, c) {
    let lo = 0, hi = q.da.length - 1;
    if (hi < 0) return -1;
    while (lo < hi) {
      const mid = (lo + hi + 1) >> 1;
      if (q.da[mid] <= c) lo = mid; else hi = mid - 1;
    }
    return lo;
  }
  // The value of a byte field in cell c; null where no run holds it.
  function valore_in(campo, c) {
    const q = sequenze[campo];
    const i = q ? indice_sequenza(q, c) : -1;
    return i < 0 ? null : q.v[i];
  }
  // The first object of `lista` (in cell order) at or after cell c.
  function primo_da(lista, c) {
    let lo = 0, hi = lista.length;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (lista[mid].c < c) lo = mid + 1; else hi = mid;
    }
    return lo;
  }

  // ---- text helpers ----

  function tre(n) { return ('00' + n).slice(-3); }
  // 27250 -> "27+250"
  function progressiva(m) {
    const s = m < 0 ? '-' : '';
    m = Math.abs(Math.round(m));
    return s + Math.floor(m / 1000) + '+' + tre(m % 1000);
  }
  function esc(t) {
    return String(t).replace(/[&<>"]/g, function (ch) {
      return { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' }[ch];
    });
  }
  // One formatter for the page: toLocaleString makes a new one at every
  // call, which the scale's text pays at every frame.
  const FORMATO_NUMERI = new Intl.NumberFormat('it-IT');
  function numero(v) { return FORMATO_NUMERI.format(v); }
  // "1 errore", "2 errori", "0 errori".
  function conta(k, uno, molti) { return numero(k) + ' ' + (k === 1 ? uno : molti); }

  // ---- the view: metres at the left edge and metres per pixel ----

  const profilo = document.getElementById('profilo');
  const ctx = profilo.getContext('2d');
  const ML = 78, MR = 14;
  // The tracks from top to bottom; the speed and gradient tracks share what
  // the height of the canvas leaves after the fixed ones.
  const Y = {
    nomi: [0, 40], ogg: [42, 126], vel: [140, 262], pen: [276, 352], mon: [362, 380], asse: [384, 444]
  };
  function disponi(h) {
    h = Math.max(300, h);
    Y.asse = [h - 60, h];
    Y.mon = [h - 82, h - 64];
    const libero = Y.mon[0] - 10 - 140 - 14;
    const v = Math.round(libero * 0.62);
    Y.vel = [140, 140 + v];
    Y.pen = [Y.vel[1] + 14, Y.mon[0] - 10];
  }
  const H_STRISCIA = (Y.ogg[1] - Y.ogg[0]) / 4;
  const V = { inizio: 0, mpp: 1, cursore: null, sopra: null, scelto: null, diag: -1 };
  let W = 800, HP = 444;

  function larghezza_utile() { return Math.max(50, W - ML - MR); }
  function mpp_massimo() { return Math.max(FINE, MC) * 1.02 / larghezza_utile(); }
  function mpp_minimo() { return MC / 320; }
  function x_di(m) { return ML + (m - V.inizio) / V.mpp; }
  function metro_di(x) { return V.inizio + (x - ML) * V.mpp; }
  function fine_vista() { return V.inizio + larghezza_utile() * V.mpp; }

  function limita() {
    V.mpp = Math.min(mpp_massimo(), Math.max(mpp_minimo(), V.mpp));
    const span = larghezza_utile() * V.mpp;
    const margine = span * 0.01;
    if (span >= FINE) {
      V.inizio = (FINE - span) / 2;
    } else {
      V.inizio = Math.min(FINE + margine - span, Math.max(-margine, V.inizio));
    }
  }
  function zoom(fattore, x) {
    const m = metro_di(x);
    V.mpp = V.mpp / fattore;
    limita();
    V.inizio = m - (x - ML) * V.mpp;
    limita();
    richiedi();
  }
  function centra(m, span) {
    if (span) V.mpp = span / larghezza_utile();
    limita();
    V.inizio = m - larghezza_utile() * V.mpp / 2;
    limita();
    richiedi();
  }
  function tutto() { V.mpp = mpp_massimo(); limita(); richiedi(); }

  // ---- drawing ----

  const testo_scala = document.getElementById('scala');
  let scala_mostrata = '';
  let richiesto = false;
  function richiedi() {
    if (richiesto) return;
    richiesto = true;
    requestAnimationFrame(function () { richiesto = false; disegna(); });
  }

  function prepara(canvas) {
    const r = canvas.getBoundingClientRect();
    const dpr = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.round(r.width)), h = Math.max(1, Math.round(r.height));
    if (canvas.width !== Math.round(w * dpr) || canvas.height !== Math.round(h * dpr)) {
      canvas.width = Math.round(w * dpr);
      canvas.height = Math.round(h * dpr);
    }
    const c = canvas.getContext('2d');
    c.setTransform(dpr, 0, 0, dpr, 0, 0);
    c.clearRect(0, 0, w, h);
    return { w: w, h: h, c: c };
  }

  // A round step (1, 2 or 5 times a power of ten) of at least `minimo`.
  function passo_tondo(minimo) {
    const p = Math.pow(10, Math.floor(Math.log10(Math.max(minimo, 1e-9))));
    for (const k of [1, 2, 5, 10]) if (k * p >= minimo) return k * p;
    return 10 * p;
  }

  // Labels that never overlap: each strip keeps the right edge of its last one.
  function Etichette() { this.fine = -Infinity; }
  Etichette.prototype.prova = function (x0, w) {
    if (x0 < this.fine + 4) return false;
    this.fine = x0 + w;
    return true;
  };

  let etichette_stazioni = []; // rectangles of the station names drawn, for hovering
  // The page's own timings: when it was first drawn, the last frame's draw,
  // and each wheel step from the event to the end of the frame that shows it.
  // caricati counts the data loaded, disegnati the data the last drawing
  // showed: equal once a drawing of the newest data has been made.
  const tempi = { pronto_ms: 0, ultimo_disegno_ms: 0, rotella_da: null, passi_rotella: [], caricati: 0, disegnati: 0 };

  // The names of the tracks, left of them.
  function disegna_nomi_tracce(c) {
    c.fillStyle = '#455a64';
    c.font = 'bold 11px system-ui, sans-serif';
    c.textAlign = 'right';
    ['segnali', 'cartelli', 'rallentam.', 'stazioni'].forEach(function (t, k) {
      c.fillText(t, ML - 8, Y.ogg[0] + H_STRISCIA * k + H_STRISCIA / 2 + 4);
    });
    c.fillText('km/h', ML - 8, Y.vel[0] + 10);
    c.fillText('pendenza', ML - 8, Y.pen[0] + 10);
    c.font = '10px system-ui, sans-serif';
    c.fillText('\u2030', ML - 8, Y.pen[0] + 23);
    c.font = 'bold 11px system-ui, sans-serif';
    c.fillText('montagna', ML - 8, Y.mon[0] + 13);
    c.textAlign = 'left';
    c.font = '11px system-ui, sans-serif';
  }

  // The frames of the tracks, the shade past the end of the route, and the
  // cell boundaries once the cells are wide enough to tell apart.
  function disegna_tracce(c, x0, x1, da, a, px_cella) {

    // Past the end of the route.
    if (x_di(L) < x1) {
      c.fillStyle = '#eceff1';
      c.fillRect(Math.max(x0, x_di(L)), Y.ogg[0], x1 - Math.max(x0, x_di(L)), Y.asse[0] - Y.ogg[0]);
    }
    c.strokeStyle = '#cfd8dc';
    c.lineWidth = 1;
    [Y.ogg, Y.vel, Y.pen, Y.mon].forEach(function (t) {
      c.strokeRect(x0 + 0.5, t[0] + 0.5, x1 - x0 - 1, t[1] - t[0]);
    });
    for (let k = 1; k < 4; k++) {
      c.beginPath();
      c.moveTo(x0, Y.ogg[0] + H_STRISCIA * k + 0.5);
      c.lineTo(x1, Y.ogg[0] + H_STRISCIA * k + 0.5);
      c.strokeStyle = '#eceff1';
      c.stroke();
    }
    if (px_cella >= 14) {
      c.strokeStyle = '#eef1f3';
      c.beginPath();
      for (let cc = Math.floor(da / MC); cc * MC <= a; cc++) {
        const x = Math.round(x_di(cc * MC)) + 0.5;
        c.moveTo(x, Y.ogg[0]); c.lineTo(x, Y.mon[1]);
      }
      c.stroke();
    }
  }

  function disegna() {
    if (!D) return;
    const t0 = performance.now();
    const p = prepara(profilo);
    W = p.w; HP = p.h;
    disponi(HP);
    limita();
    const c = p.c;
    const x0 = ML, x1 = W - MR;
    const da = V.inizio, a = fine_vista();
    const px_cella = MC / V.mpp;
    c.font = '11px system-ui, sans-serif';
    c.textBaseline = 'alphabetic';

    disegna_nomi_tracce(c);
    c.save();
    c.beginPath();
    c.rect(x0, 0, x1 - x0, HP);
    c.clip();
    disegna_tracce(c, x0, x1, da, a, px_cella);

    disegna_stazioni(c, da, a);
    disegna_oggetti(c, da, a, px_cella);
    disegna_velocita(c, da, a);
    disegna_pendenze(c, da, a);
    disegna_montagne(c, da, a, px_cella);
    disegna_asse(c, da, a, px_cella);
    disegna_scelto(c);
    if (V.cursore !== null) {
      const x = Math.round(x_di(V.cursore)) + 0.5;
      c.strokeStyle = COLORE.cursore;
      c.lineWidth = 1;
      c.beginPath(); c.moveTo(x, Y.nomi[1]); c.lineTo(x, Y.asse[0]); c.stroke();
    }
    c.restore();

    disegna_piante();
    // Text changed last: a change before the plans measured their canvases
    // would make the browser lay the page out twice in one frame.
    const scala = progressiva(Math.max(0, da)) + ' \u2013 ' + progressiva(Math.min(FINE, a)) +
      ' (' + (px_cella >= 1 ? px_cella.toFixed(px_cella < 10 ? 1 : 0) + ' px per cella' :
        numero(Math.round(V.mpp)) + ' m per px') + ')';
    if (scala !== scala_mostrata) {
      scala_mostrata = scala;
      testo_scala.textContent = scala;
    }
    if (document.body.dataset.pronto) segui_indirizzo();
    const fine = performance.now();
    tempi.ultimo_disegno_ms = fine - t0;
    tempi.disegnati = tempi.caricati;
    if (tempi.rotella_da !== null) {
      if (tempi.passi_rotella.length >= 1000) tempi.passi_rotella.shift();
      tempi.passi_rotella.push(fine - tempi.rotella_da);
      tempi.rotella_da = null;
    }
    if (!document.body.dataset.pronto) {
      tempi.pronto_ms = performance.now();
      document.body.dataset.pronto = '1';
    }
  }

  function disegna_stazioni(c, da, a) {
    etichette_stazioni = [];
    const y = Y.ogg[0] + H_STRISCIA * 3;
    // Ordinary stations first: their names win the room.
    const ordine = stazioni.slice().sort(function (s, t) {
      return (!s.con_celle) - (!t.con_celle) || s.posizione - t.posizione;
    });
    stazioni.forEach(function (s) {
      if (s.fine < da || s.inizio > a) return;
      const xa = x_di(s.inizio), xb = x_di(s.fine);
      c.fillStyle = 'rgba(63, 81, 181, 0.22)';
      c.fillRect(xa, y + 2, Math.max(2, xb - xa), H_STRISCIA - 4);
      const x = Math.round(x_di(s.posizione)) + 0.5;
      c.strokeStyle = 'rgba(31, 78, 156, 0.55)';
      c.setLineDash([3, 3]);
      c.beginPath(); c.moveTo(x, Y.nomi[1] - 4); c.lineTo(x, Y.asse[0]); c.stroke();
      c.setLineDash([]);
    });
    // Names, thinned: a name that would overlap one already placed is left out.
    const piazzate = [];
    ordine.forEach(function (s) {
      if (s.posizione < da || s.posizione > a) return;
      const t = s.nome + (s.ora ? ' ' + s.ora.slice(0, 5) : '');
      c.font = (s.con_celle ? 'bold ' : '') + '12px system-ui, sans-serif';
      const w = c.measureText(t).width;
      const x = Math.max(ML + 2, Math.min(W - MR - w - 2, x_di(s.posizione) - w / 2));
      for (let fila = 0; fila < 2; fila++) {
        const yy = fila === 0 ? 16 : 32;
        const libero = piazzate.every(function (r) {
          return r.fila !== fila || x + w + 6 < r.x || x > r.x + r.w + 6;
        });
        if (!libero) continue;
        piazzate.push({ x: x, w: w, fila: fila });
        c.fillStyle = COLORE.stazione;
        c.fillText(t, x, yy);
        etichette_stazioni.push({ x0: x, x1: x + w, y0: yy - 12, y1: yy + 3, s: s });
        break;
      }
    });
    c.font = '11px system-ui, sans-serif';
  }

  // A field of the record behind an object or a row: its value with its unit
  // (`testo`) or bare (`valore`); null when the record has no such field.
  function campo(x, nome) {
    const r = x && x.record;
    if (!r) return null;
    for (const k of r.campi) if (k[0] === nome) return { testo: k.length > 2 ? k[2] : String(k[1]), valore: k[1] };
    return null;
  }
  function valore(x, nome) { const k = campo(x, nome); return k ? k.valore : null; }
  function testo(x, nome) { const k = campo(x, nome); return k ? k.testo : ''; }
  // A name or a sign text without the padding inside its brackets.
  function compatto(t) { return String(t).replace(/\s+/g, ' ').replace(/\(\s+/g, '(').replace(/\s+\)/g, ')').trim(); }

  // A sign's text for a label: its bracketed lines, the empty ones left out,
  // one after the other ("(GALLERIA)(CORRENTE)" reads "GALLERIA / CORRENTE").
  function testo_cartello(t) {
    const parti = String(t).split(/[()]/).map(function (x) { return x.trim(); }).filter(Boolean);
    return parti.length ? parti.join(' / ') : compatto(t);
  }

  // A short text for an object, shown beside it when there is room, from
  // the fields of its record: a signal's s and d groups (sx 1: 5-1-0), a
  // board's first speeds, a sign's text, a station's name, a speed.
  function testo_breve(o) {
    switch (o.nome_tipo) {
      case 'segnale': {
        // A class that no sx of 1 or 2 writes: the codes as stored.
        if (valore(o, 'sx') !== 1 && valore(o, 'sx') !== 2) return 'codici ' + [o.valore_a, o.valore_b, o.valore_c, o.valore_d].join(' ');
        let t = 'sx' + valore(o, 'sx') + ' ' + valore(o, 's1') + '-' + valore(o, 's2') + '-' + valore(o, 's3');
        if (valore(o, 'dx')) t += ' dx' + valore(o, 'dx') + ' ' + valore(o, 'd1') + '-' + valore(o, 'd2') + '-' + valore(o, 'd3');
        return t;
      }
      case 'indicatori': return valore(o, 'vas') + '/' + valore(o, 'vad') + ' km/h';
      case 'cartello': return righe[o.riga] ? testo_cartello(righe[o.riga].nome) : 'riga ' + o.riga;
      case 'fermata': return righe[o.riga] ? compatto(righe[o.riga].nome) : 'riga ' + o.riga;
      case 'abbattimento': return testo(o, 'value') || 'abbattimento';
      case 'segno_montagna': return 'montagna';
      default: return testo(o, 'v') || o.nome_tipo.replace('_', ' ');
    }
  }

  function disegna_oggetti(c, da, a, px_cella) {
    const c0 = Math.floor(da / MC) - 1, c1 = Math.ceil(a / MC) + 1;
    for (let k = 0; k < 4; k++) {
      const lista = strisce[k];
      const y = Y.ogg[0] + H_STRISCIA * k;
      const et = new Etichette();
      let ultima_x = -1;
      for (let i = primo_da(lista, c0); i < lista.length && lista[i].c <= c1; i++) {
        const o = lista[i];
        const xa = x_di(o.c * MC), xb = x_di((o.c + 1) * MC);
        // Many objects in one pixel column: one mark is enough.
        if (px_cella < 2 && Math.floor(xa) === ultima_x) continue;
        ultima_x = Math.floor(xa);
        c.fillStyle = colore_di(o.nome_tipo);
        if (px_cella >= 4) {
          c.fillRect(xa + 1, y + 3, xb - xa - 2, H_STRISCIA - 6);
        } else if (o.nome_tipo === 'segnale') {
          c.fillRect(xa - 1, y + 3, 2, H_STRISCIA - 6);
          c.beginPath(); c.arc(xa, y + 5, 2.5, 0, 7); c.fill();
        } else {
          c.fillRect(xa - 1, y + 4, 2, H_STRISCIA - 8);
        }
        if (px_cella >= 3 || lista.length * 60 < larghezza_utile()) {
          const t = testo_breve(o);
          const w = c.measureText(t).width;
          const xt = px_cella >= 4 && w + 6 < xb - xa ? xa + 3 : xb + 2;
          // A label that would start left of the view or run past its right
          // edge is left out rather than cut.
          // Nor may it run into the next object of its strip.
          const prossimo = i + 1 < lista.length ? x_di(lista[i + 1].c * MC) - 3 : Infinity;
          if (xt >= ML && xt + w <= Math.min(W - MR, prossimo) && et.prova(xt, w)) {
            c.fillStyle = px_cella >= 4 && w + 6 < xb - xa ? '#fff' : '#37474f';
            c.fillText(t, xt, y + H_STRISCIA / 2 + 4);
          }
        }
      }
    }
  }

  // A step line over runs of one byte field, drawn column by column when
  // runs are narrower than a pixel (the extremes of each column are kept).
  function gradini(c, q, da, a, y_di, tratto, riempimento) {
    const c0 = Math.max(0, Math.floor(da / MC)), c1 = Math.min(N - 1, Math.ceil(a / MC));
    let i = indice_sequenza(q, c0);
    if (i < 0) return;
    c.beginPath();
    let primo = true, colonna = null, lo = 0, hi = 0;
    const punti = [];
    for (; i < q.da.length && q.da[i] <= c1; i++) {
      const v = q.v[i];
      const xa = x_di(q.da[i] * MC), xb = x_di((q.a[i] + 1) * MC);
      const yv = y_di(v);
      if (xb - xa < 1) {
        const col = Math.floor(xa);
        if (col === colonna) { lo = Math.min(lo, yv); hi = Math.max(hi, yv); continue; }
        if (colonna !== null) punti.push([colonna, lo, hi]);
        colonna = col; lo = yv; hi = yv;
        continue;
      }
      if (colonna !== null) { punti.push([colonna, lo, hi]); colonna = null; }
      punti.push([xa, yv, yv, xb]);
    }
    if (colonna !== null) punti.push([colonna, lo, hi]);
    if (!punti.length) return;
    const y0 = y_di(0);
    if (riempimento) {
      c.fillStyle = riempimento;
      punti.forEach(function (pt) {
        const xb = pt.length > 3 ? pt[3] : pt[0] + 1;
        c.fillRect(pt[0], Math.min(pt[1], y0), xb - pt[0], Math.abs(y0 - pt[1]));
      });
    }
    c.strokeStyle = tratto;
    c.lineWidth = 1.6;
    punti.forEach(function (pt) {
      if (pt.length > 3) {
        if (primo) c.moveTo(pt[0], pt[1]); else c.lineTo(pt[0], pt[1]);
        c.lineTo(pt[3], pt[1]);
      } else {
        if (primo) c.moveTo(pt[0], pt[1]); else c.lineTo(pt[0], pt[1]);
        c.lineTo(pt[0], pt[2]);
      }
      primo = false;
    });
    c.stroke();
    c.lineWidth = 1;
  }

  let vmax = 40;
  function calcola_vmax() {
    vmax = 40;
    const q = sequenze.velocita_kmh;
    for (let i = 0; q && i < q.v.length; i++) vmax = Math.max(vmax, q.v[i]);
    rallentamenti.forEach(function (r) { vmax = Math.max(vmax, r.v); });
    const passo = passo_tondo(vmax / 5);
    vmax = Math.ceil(vmax / passo) * passo;
  }
  function y_velocita(kmh) { return Y.vel[1] - kmh / vmax * (Y.vel[1] - Y.vel[0] - 8); }

  // The km/h scale as last drawn: each grid line's y and each label's box,
  // for the test that no line runs through a label.
  const scala_velocita = { linee: [], etichette: [] };

  function disegna_velocita(c, da, a) {
    // Lines far enough apart for a label between them on any window height.
    const altezza = Y.vel[1] - Y.vel[0] - 8;
    const passo = Math.max(passo_tondo(vmax / 5), passo_tondo(vmax * 18 / Math.max(1, altezza)));
    c.strokeStyle = '#eceff1';
    scala_velocita.linee = [];
    for (let v = passo; v <= vmax; v += passo) {
      const y = Math.round(y_velocita(v)) + 0.5;
      c.beginPath(); c.moveTo(ML, y); c.lineTo(W - MR, y); c.stroke();
      scala_velocita.linee.push({ v: v, y: y });
    }
    // The track's frame is a line too.
    scala_velocita.linee.push({ v: null, y: Y.vel[0] + 0.5 }, { v: null, y: Y.vel[1] + 0.5 });
    if (sequenze.velocita_kmh) {
      gradini(c, sequenze.velocita_kmh, da, a, y_velocita,
        COLORE.velocita, 'rgba(187, 222, 251, 0.7)');
    }
    const et = new Etichette();
    rallentamenti.forEach(function (r) {
      if ((r.a + 1) * MC < da || r.da * MC > a) return;
      const xa = x_di(r.da * MC), xb = Math.max(xa + 2, x_di((r.a + 1) * MC));
      const y = y_velocita(r.v);
      c.fillStyle = 'rgba(239, 108, 0, 0.25)';
      c.fillRect(xa, y, xb - xa, y_velocita(0) - y);
      c.fillStyle = COLORE.rallentamento;
      c.fillRect(xa, y - 1, xb - xa, 2.5);
      const t = r.v + ' km/h', w = c.measureText(t).width, xt = Math.max(ML + 2, xa + 2);
      if (xt + w <= W - MR && et.prova(xt, w)) c.fillText(t, xt, y - 4);
    });
    // The scale's labels last, each on its own line over a patch of
    // background that the line, the speed and the slowdowns stop at.
    // Just below its line: the lines are 18 px apart or more, and the top
    // one lies 8 px under the track's frame, so no line runs through one.
    scala_velocita.etichette = [];
    scala_velocita.linee.forEach(function (l) {
      if (l.v === null) return;
      const t = String(l.v), w = c.measureText(t).width;
      const box = { x0: ML + 1, x1: ML + 7 + w, y0: l.y + 1, y1: l.y + 13, v: l.v };
      c.fillStyle = 'rgba(255, 255, 255, 0.9)';
      c.fillRect(box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
      c.fillStyle = '#78909c';
      c.fillText(t, ML + 4, l.y + 11);
      scala_velocita.etichette.push(box);
    });
  }

  let gmax = 5;
  function scala_pendenze() {
    gmax = 5;
    const q = sequenze.pendenza_per_mille;
    // Byte 0 reads as -100 per mille; mostly it is the run-out that no
    // gradient reached, so it does not set the scale (its bar is clipped).
    for (let i = 0; q && i < q.v.length; i++) if (q.v[i] !== null && q.v[i] !== -100) gmax = Math.max(gmax, Math.abs(q.v[i]));
  }
  function y_pendenza(g) {
    const mezzo = (Y.pen[0] + Y.pen[1]) / 2;
    return mezzo - Math.max(-gmax, Math.min(gmax, g)) / gmax * ((Y.pen[1] - Y.pen[0]) / 2 - 4);
  }
  function disegna_pendenze(c, da, a) {
    const y0 = Math.round(y_pendenza(0)) + 0.5;
    c.strokeStyle = '#b0bec5';
    c.beginPath(); c.moveTo(ML, y0); c.lineTo(W - MR, y0); c.stroke();
    c.fillStyle = '#78909c';
    c.fillText('+' + gmax + ' \u2030', ML + 3, Y.pen[0] + 11);
    c.fillText('\u2212' + gmax + ' \u2030', ML + 3, Y.pen[1] - 3);
    const q = sequenze.pendenza_per_mille;
    if (!q) return;
    const c0 = Math.max(0, Math.floor(da / MC)), c1 = Math.min(N - 1, Math.ceil(a / MC));
    const et = new Etichette();
    for (let i = Math.max(0, indice_sequenza(q, c0)); i < q.da.length && q.da[i] <= c1; i++) {
      const g = q.v[i];
      // Byte 0 that no gradient reached still reads -100: drawn faint.
      const mai = q.r && q.r[i] === false && g === -100;
      const xa = x_di(q.da[i] * MC), xb = Math.max(xa + 1, x_di((q.a[i] + 1) * MC));
      const y = y_pendenza(g);
      c.fillStyle = g > 0 ? COLORE.salita : g < 0 ? COLORE.discesa : '#90a4ae';
      c.globalAlpha = mai ? 0.2 : 0.55;
      c.fillRect(xa, Math.min(y, y0), xb - xa, Math.max(1, Math.abs(y - y0)));
      c.globalAlpha = 1;
      if (g === 0) continue; // level track: the axis line says it
      const t = (g > 0 ? '+' : '') + g + ' \u2030' + (mai ? ' mai raggiunta' : '');
      const w = c.measureText(t).width;
      const xt = Math.max(xa, ML) + 2;
      if (Math.min(xb, W - MR) - xt > w + 2 && et.prova(xt, w)) {
        c.fillStyle = '#37474f';
        c.fillText(t, xt, g >= 0 ? y0 + 12 : y0 - 3);
      }
    }
  }

  function disegna_montagne(c, da, a, px_cella) {
    const q = sequenze.montagna;
    if (!q) return;
    const c0 = Math.max(0, Math.floor(da / MC)), c1 = Math.min(N - 1, Math.ceil(a / MC));
    for (let i = Math.max(0, indice_sequenza(q, c0)); i < q.da.length && q.da[i] <= c1; i++) {
      if (q.v[i] === 0) continue;
      const xa = x_di(q.da[i] * MC), xb = Math.max(xa + 1, x_di((q.a[i] + 1) * MC));
      c.fillStyle = COLORE.montagna[Math.min(3, q.v[i])];
      c.fillRect(xa, Y.mon[0] + 2, xb - xa, Y.mon[1] - Y.mon[0] - 4);
    }
    if (px_cella < 1.5) return;
    c.fillStyle = '#3e2723';
    for (let i = primo_da(segni_montagna, c0); i < segni_montagna.length && segni_montagna[i].c <= c1; i++) {
      const x = x_di((segni_montagna[i].c + 0.5) * MC);
      c.beginPath();
      c.moveTo(x, Y.mon[0] + 3); c.lineTo(x + 4, Y.mon[1] - 3); c.lineTo(x - 4, Y.mon[1] - 3);
      c.fill();
    }
  }

  function disegna_asse(c, da, a, px_cella) {
    const y = Y.asse[0] + 0.5;
    c.strokeStyle = '#263238';
    c.beginPath(); c.moveTo(ML, y); c.lineTo(W - MR, y); c.stroke();
    const passo = Math.max(10, passo_tondo(95 * V.mpp));
    c.fillStyle = '#37474f';
    c.textAlign = 'center';
    const et_km = new Etichette();
    for (let m = Math.ceil(Math.max(0, da) / passo) * passo; m <= Math.min(a, FINE); m += passo) {
      const x = Math.round(x_di(m)) + 0.5;
      c.beginPath(); c.moveTo(x, y); c.lineTo(x, y + 6); c.stroke();
      // The labels at the ends move inside the view rather than be cut.
      const t = passo >= 1000 ? 'km ' + Math.round(m / 1000) : progressiva(m);
      const w = c.measureText(t).width;
      const xc = Math.max(ML + w / 2 + 1, Math.min(W - MR - w / 2 - 1, x));
      if (et_km.prova(xc - w / 2, w)) c.fillText(t, xc, y + 17);
    }
    // Cell numbers once there is room for them.
    if (px_cella >= 14) {
      c.fillStyle = '#90a4ae';
      c.font = '10px system-ui, sans-serif';
      const et = new Etichette();
      for (let cc = Math.max(0, Math.floor(da / MC)); cc * MC <= a && cc < N; cc++) {
        const t = px_cella >= 60 ? 'cella ' + cc : String(cc);
        const w = c.measureText(t).width, x = x_di((cc + 0.5) * MC);
        if (x - w / 2 >= ML && x + w / 2 <= W - MR && et.prova(x - w / 2, w)) c.fillText(t, x, y + 30);
      }
      c.font = '11px system-ui, sans-serif';
    }
    c.textAlign = 'left';
    // Diagnostics on the axis.
    D.diagnostica.forEach(function (d, i) {
      if (!segnabile(d)) return;
      const x = x_di(d.posizione);
      if (x < ML - 8 || x > W - MR + 8) return;
      c.fillStyle = d.gravita === 'errore' ? COLORE.errore : COLORE.avviso;
      c.beginPath();
      c.moveTo(x, y + 34); c.lineTo(x + 7, y + 46); c.lineTo(x - 7, y + 46);
      c.fill();
      if (i === V.diag) {
        c.strokeStyle = '#263238'; c.lineWidth = 2;
        c.stroke(); c.lineWidth = 1;
      }
    });
  }
  // A diagnostic with a place on the route: every error, and the warnings
  // about a record that places something.
  function segnabile(d) { return d.con_posizione; }

  function disegna_scelto(c) {
    const s = V.scelto || V.sopra;
    if (!s) return;
    c.strokeStyle = '#263238';
    c.lineWidth = 2;
    if (s.tipo === 'oggetto') {
      const o = s.o;
      const y = o.nome_tipo === 'segno_montagna' ? Y.mon[0] : Y.ogg[0] + H_STRISCIA * riga_di(o.nome_tipo);
      const xa = x_di(o.c * MC), xb = Math.max(xa + 6, x_di((o.c + 1) * MC));
      c.strokeRect(xa - 3, y + 1, xb - xa + 6, H_STRISCIA - 2);
    } else if (s.tipo === 'stazione') {
      const xa = x_di(s.r.inizio), xb = Math.max(xa + 4, x_di(s.r.fine));
      c.strokeRect(xa, Y.ogg[0] + H_STRISCIA * 3 + 1, xb - xa, H_STRISCIA - 2);
    } else if (s.tipo === 'cella') {
      const xa = x_di(s.c * MC), xb = Math.max(xa + 2, x_di((s.c + 1) * MC));
      c.strokeStyle = 'rgba(38, 50, 56, 0.5)';
      c.strokeRect(xa, Y.ogg[0], xb - xa, Y.mon[1] - Y.ogg[0]);
    }
    c.lineWidth = 1;
  }

  // ---- the plan ----

  let pianta = null;
  function prepara_pianta() {
    if (!D.pianta || D.pianta.xy.length < 4) return null;
    const xy = D.pianta.xy, n = xy.length / 2, passo = D.pianta.passo;
    // Point i is metre i * passo; the last one is the last computed metre,
    // which may fall short of its step.
    // Turn the plan so that its longest extent runs left to right.
    let mx = 0, my = 0;
    for (let i = 0; i < n; i++) { mx += xy[2 * i]; my += xy[2 * i + 1]; }
    mx /= n; my /= n;
    let sxx = 0, syy = 0, sxy = 0;
    for (let i = 0; i < n; i++) {
      const dx = xy[2 * i] - mx, dy = xy[2 * i + 1] - my;
      sxx += dx * dx; syy += dy * dy; sxy += dx * dy;
    }
    let ang = 0.5 * Math.atan2(2 * sxy, sxx - syy);
    let co = Math.cos(ang), se = Math.sin(ang);
    const px = new Float64Array(n), py = new Float64Array(n);
    for (let i = 0; i < n; i++) {
      px[i] = xy[2 * i] * co + xy[2 * i + 1] * se;
      py[i] = -xy[2 * i] * se + xy[2 * i + 1] * co;
    }
    if (px[n - 1] < px[0]) for (let i = 0; i < n; i++) { px[i] = -px[i]; py[i] = -py[i]; }
    return { n: n, passo: passo, px: px, py: py, ultimo: (n - 1) * passo };
  }

  function indice_pianta(m) {
    return Math.max(0, Math.min(pianta.n - 1, Math.round(m / pianta.passo)));
  }
  function riquadro(da, a) {
    const i0 = indice_pianta(da), i1 = indice_pianta(a);
    let x0 = Infinity, x1 = -Infinity, y0 = Infinity, y1 = -Infinity;
    for (let i = i0; i <= i1; i++) {
      x0 = Math.min(x0, pianta.px[i]); x1 = Math.max(x1, pianta.px[i]);
      y0 = Math.min(y0, pianta.py[i]); y1 = Math.max(y1, pianta.py[i]);
    }
    return { x0: x0, x1: x1, y0: y0, y1: y1 };
  }

  const trasformazioni = {};
  // The whole plan does not change as the view moves: its route and stations
  // are drawn once for each size and copied at every frame.
  let sfondi = {};

  // Where a pane's route runs, in cells of a few pixels: names are placed
  // where it does not, so the track never crosses a name.
  const LATO_OCCUPATO = 2;
  function Occupato(w, h) {
    this.nx = Math.max(1, Math.ceil(w / LATO_OCCUPATO));
    this.ny = Math.max(1, Math.ceil(h / LATO_OCCUPATO));
    this.celle = new Uint8Array(this.nx * this.ny);
  }
  Occupato.prototype.punto = function (x, y, r) {
    const i0 = Math.max(0, Math.floor((x - r) / LATO_OCCUPATO)), i1 = Math.min(this.nx - 1, Math.floor((x + r) / LATO_OCCUPATO));
    const j0 = Math.max(0, Math.floor((y - r) / LATO_OCCUPATO)), j1 = Math.min(this.ny - 1, Math.floor((y + r) / LATO_OCCUPATO));
    for (let j = j0; j <= j1; j++) for (let i = i0; i <= i1; i++) this.celle[j * this.nx + i] = 1;
  };
  // A segment as wide as `r` on each side, marked in steps of half a cell;
  // only its part over the pane, however far its ends lie outside.
  Occupato.prototype.segmento = function (x0, y0, x1, y1, r) {
    const dx = x1 - x0, dy = y1 - y0;
    let f0 = 0, f1 = 1;
    const bordi = [[-dx, x0 + r], [dx, this.nx * LATO_OCCUPATO + r - x0], [-dy, y0 + r], [dy, this.ny * LATO_OCCUPATO + r - y0]];
    for (const [p, q] of bordi) {
      if (p === 0) { if (q < 0) return; continue; }
      const f = q / p;
      if (p < 0) f0 = Math.max(f0, f); else f1 = Math.min(f1, f);
      if (f0 > f1) return;
    }
    const passi = Math.ceil(Math.hypot(dx, dy) * (f1 - f0) / (LATO_OCCUPATO / 2));
    for (let k = 0; k <= passi; k++) {
      const f = f0 + (passi ? (f1 - f0) * k / passi : 0);
      this.punto(x0 + dx * f, y0 + dy * f, r);
    }
  };
  Occupato.prototype.libero = function (r) {
    const i0 = Math.floor(r.x0 / LATO_OCCUPATO), i1 = Math.floor(r.x1 / LATO_OCCUPATO);
    const j0 = Math.floor(r.y0 / LATO_OCCUPATO), j1 = Math.floor(r.y1 / LATO_OCCUPATO);
    if (i0 < 0 || j0 < 0 || i1 >= this.nx || j1 >= this.ny) return false;
    for (let j = j0; j <= j1; j++) for (let i = i0; i <= i1; i++) if (this.celle[j * this.nx + i]) return false;
    return true;
  };

  // The route from metre da to metre a as a path, points closer than a pixel
  // merged; its points kept in `punti` (when given), a NaN pair first.
  // A stretch wholly outside the pane (the detail draws the route well
  // around its box) is not drawn: the next point on the pane starts anew.
  function tratto_pianta(c, t, da, a, punti) {
    const i0 = indice_pianta(da), i1 = indice_pianta(a);
    const bordo = 20, x0 = -bordo, y0 = -bordo, x1 = t.w + bordo, y1 = t.h + bordo;
    let lx = t.X(pianta.px[i0]), ly = t.Y(pianta.py[i0]);
    c.beginPath(); c.moveTo(lx, ly);
    if (punti) punti.push(NaN, NaN, lx, ly);
    let staccato = false;
    for (let i = i0 + 1; i <= i1; i++) {
      const x = t.X(pianta.px[i]), y = t.Y(pianta.py[i]);
      if (i < i1 && Math.abs(x - lx) < 1 && Math.abs(y - ly) < 1) continue;
      if (Math.max(x, lx) < x0 || Math.min(x, lx) > x1 || Math.max(y, ly) < y0 || Math.min(y, ly) > y1) {
        staccato = true;
      } else {
        if (staccato) {
          c.moveTo(lx, ly);
          if (punti) punti.push(NaN, NaN, lx, ly);
          staccato = false;
        }
        c.lineTo(x, y);
        if (punti) punti.push(x, y);
      }
      lx = x; ly = y;
    }
    if (i0 === i1) c.lineTo(lx + 0.5, ly);
  }

  // The names on each plan as last drawn, and the route's points there (a
  // NaN pair begins a new stretch), for the test that no name is crossed.
  const etichette_piante = {};

  // The route and its stations from metre da to metre a; returns what the
  // names need to be placed after everything else on the pane is drawn.
  function disegna_percorso(c, t, da, a) {
    const punti = [];
    c.lineJoin = 'round'; c.lineCap = 'round';
    if (a > L) {
      c.strokeStyle = '#b0bec5'; c.lineWidth = 2; c.setLineDash([5, 4]);
      tratto_pianta(c, t, Math.max(L, da), a, punti); c.stroke();
      c.setLineDash([]);
    }
    c.strokeStyle = '#37474f'; c.lineWidth = 2.5;
    tratto_pianta(c, t, da, Math.min(L, a), punti); c.stroke();
    c.strokeStyle = 'rgba(31, 78, 156, 0.45)'; c.lineWidth = 7;
    stazioni.forEach(function (st) {
      if ((st.con_celle || st.fine > st.inizio) && st.fine >= da && st.inizio <= a) {
        tratto_pianta(c, t, Math.max(da, st.inizio), Math.min(a, st.fine)); c.stroke();
      }
    });
    const punti_stazioni = [];
    stazioni.forEach(function (st) {
      if (st.posizione < da || st.posizione > a) return;
      const i = indice_pianta(st.posizione);
      const x = t.X(pianta.px[i]), y = t.Y(pianta.py[i]);
      if (x < 0 || x > t.w || y < 0 || y > t.h) return;
      c.fillStyle = '#fff'; c.strokeStyle = COLORE.stazione; c.lineWidth = 2;
      c.beginPath(); c.arc(x, y, 4, 0, 7); c.fill(); c.stroke();
      punti_stazioni.push({ st: st, x: x, y: y });
    });
    return { w: t.w, h: t.h, punti: punti, stazioni: punti_stazioni };
  }

  // The stations' names, each beside its point where neither the route nor
  // another name is: right or left of it, above or below, or left out.
  function disegna_nomi_pianta(c, id, percorso) {
    const usate = [];
    // Where the route runs, marked only when there is a name to place. The
    // wide strokes drawn over it (the part shown, the zones) reach this far
    // from its middle, and a name keeps that far off.
    const margine = 4;
    const occupato = new Occupato(percorso.w, percorso.h);
    if (percorso.stazioni.length) {
      const q = percorso.punti;
      for (let k = 2; k + 1 < q.length; k += 2) {
        if (isNaN(q[k])) continue;
        if (isNaN(q[k - 2])) occupato.punto(q[k], q[k + 1], margine);
        else occupato.segmento(q[k - 2], q[k - 1], q[k], q[k + 1], margine);
      }
    }
    // The stations' points: no name over another station's.
    const pallini = percorso.stazioni.map(function (ps) {
      return { x0: ps.x - 6, x1: ps.x + 6, y0: ps.y - 6, y1: ps.y + 6, ps: ps };
    });
    c.font = 'bold 11px system-ui, sans-serif';
    c.textBaseline = 'alphabetic';
    percorso.stazioni.forEach(function (ps) {
      const nome = compatto(ps.st.nome);
      const m = c.measureText(nome);
      const w = m.width, su = m.actualBoundingBoxAscent || 9, giu = m.actualBoundingBoxDescent || 3;
      const x = ps.x, y = ps.y;
      // Above right first, as maps write them; the others in turn.
      const sopra = y - 9 - giu, sotto = y + 9 + su, mezzo = y + su / 2;
      const prove = [
        [x + 6, sopra], [x - 6 - w, sopra], [x + 6, sotto], [x - 6 - w, sotto],
        [x + 10, mezzo], [x - 10 - w, mezzo], [x - w / 2, sopra - 2], [x - w / 2, sotto + 2]
      ];
      const sovrappone = function (r) {
        return function (u) { return u.ps !== ps && r.x0 < u.x1 && u.x0 < r.x1 && r.y0 < u.y1 && u.y0 < r.y1; };
      };
      for (const [bx, by] of prove) {
        const r = { x0: bx - 2, x1: bx + w + 2, y0: by - su - 2, y1: by + giu + 2 };
        if (!occupato.libero(r)) continue;
        if (usate.some(sovrappone(r)) || pallini.some(sovrappone(r))) continue;
        usate.push(r);
        r.nome = nome;
        c.fillStyle = COLORE.stazione;
        c.fillText(nome, bx, by);
        break;
      }
    });
    c.font = '11px system-ui, sans-serif';
    etichette_piante[id] = { nomi: usate, punti: percorso.punti };
  }

  // One pane of the plan: the box `rq` (plan coordinates) fitted to it, the
  // route from metre da to metre a, and over it the part shown in the
  // profile, the frame of the detail (`cornice`) and the cursor.
  function disegna_pianta(id, rq, cornice, da, a) {
    const canvas = document.getElementById(id);
    const p = prepara(canvas);
    const c = p.c;
    if (!pianta) {
      c.fillStyle = '#607d8b';
      c.textAlign = 'center';
      c.fillText('Geometria assente', p.w / 2, p.h / 2);
      c.textAlign = 'left';
      return;
    }
    const pad = 16;
    const s = Math.min((p.w - 2 * pad) / Math.max(rq.x1 - rq.x0, 1),
      (p.h - 2 * pad) / Math.max(rq.y1 - rq.y0, 1));
    const ox = p.w / 2 - (rq.x0 + rq.x1) / 2 * s, oy = p.h / 2 + (rq.y0 + rq.y1) / 2 * s;
    const t = { X: function (x) { return ox + x * s; }, Y: function (y) { return oy - y * s; }, s: s, w: p.w, h: p.h };
    trasformazioni[id] = t;
    // The names go on last, over what marks the part shown, on a layer of
    // their own for the whole plan.
    let nomi;
    if (id === 'pianta-intera') {
      const dpr = window.devicePixelRatio || 1;
      let sf = sfondi[id];
      if (!sf || sf.w !== p.w || sf.h !== p.h || sf.dpr !== dpr) {
        const strato = function () {
          const fuori = document.createElement('canvas');
          fuori.width = Math.round(p.w * dpr); fuori.height = Math.round(p.h * dpr);
          const fc = fuori.getContext('2d');
          fc.setTransform(dpr, 0, 0, dpr, 0, 0);
          return fuori;
        };
        const fondo = strato(), scritte = strato();
        const percorso = disegna_percorso(fondo.getContext('2d'), t, da, a);
        disegna_nomi_pianta(scritte.getContext('2d'), id, percorso);
        sf = sfondi[id] = { w: p.w, h: p.h, dpr: dpr, canvas: fondo, nomi: scritte };
      }
      c.drawImage(sf.canvas, 0, 0, p.w, p.h);
      nomi = function () { c.drawImage(sf.nomi, 0, 0, p.w, p.h); };
    } else {
      const percorso = disegna_percorso(c, t, da, a);
      nomi = function () { disegna_nomi_pianta(c, id, percorso); };
      // Signals in the detail.
      c.fillStyle = COLORE.segnale;
      for (let i = primo_da(strisce[0], Math.floor(da / MC)); i < strisce[0].length && strisce[0][i].c * MC <= a; i++) {
        const k = indice_pianta(strisce[0][i].c * MC);
        c.beginPath(); c.arc(t.X(pianta.px[k]), t.Y(pianta.py[k]), 2.5, 0, 7); c.fill();
      }
    }
    // The part shown in the profile, and a ring around its middle so that a
    // part too short to see stays found.
    const v0 = Math.max(0, V.inizio), v1 = Math.max(0, Math.min(pianta.ultimo, fine_vista()));
    c.lineJoin = 'round'; c.lineCap = 'round';
    if (v1 >= da && v0 <= a) {
      c.strokeStyle = COLORE.visibile; c.lineWidth = 6; c.globalAlpha = 0.8;
      tratto_pianta(c, t, Math.max(v0, da), Math.min(v1, a)); c.stroke();
      c.globalAlpha = 1;
    }
    const km = indice_pianta((v0 + v1) / 2);
    const xm = t.X(pianta.px[km]), ym = t.Y(pianta.py[km]);
    if (xm > -10 && xm < p.w + 10 && ym > -10 && ym < p.h + 10) {
      c.strokeStyle = COLORE.visibile; c.lineWidth = 2;
      c.beginPath(); c.arc(xm, ym, 8, 0, 7); c.stroke();
    }
    if (cornice) {
      c.strokeStyle = 'rgba(38, 50, 56, 0.7)'; c.lineWidth = 1; c.setLineDash([3, 2]);
      c.strokeRect(t.X(cornice.x0), t.Y(cornice.y1), (cornice.x1 - cornice.x0) * s, (cornice.y1 - cornice.y0) * s);
      c.setLineDash([]);
    }
    if (V.cursore !== null) {
      const i = indice_pianta(V.cursore);
      c.fillStyle = COLORE.cursore;
      c.beginPath(); c.arc(t.X(pianta.px[i]), t.Y(pianta.py[i]), 5, 0, 7); c.fill();
    }
    nomi();
    barra_di_scala(c, s, p.h);
  }

  // A scale bar at the bottom left of a plan drawn at `s` pixels a metre.
  function barra_di_scala(c, s, h) {
    const metri_barra = passo_tondo(80 / s);
    c.strokeStyle = '#263238'; c.lineWidth = 2;
    c.beginPath(); c.moveTo(10, h - 10); c.lineTo(10 + metri_barra * s, h - 10); c.stroke();
    c.fillStyle = '#263238';
    c.fillText(metri_barra >= 1000 ? metri_barra / 1000 + ' km' : metri_barra + ' m', 16 + metri_barra * s, h - 6);
    c.lineWidth = 1;
  }

  let riquadro_intero = null;
  function disegna_piante() {
    if (!pianta) {
      disegna_pianta('pianta-intera', null);
      disegna_pianta('pianta-dettaglio', null);
      return;
    }
    if (!riquadro_intero) riquadro_intero = riquadro(0, pianta.ultimo);
    // The detail: the stretch around the cursor (or the middle of the view)
    // as long as the part shown, but never less than 300 m nor more than a
    // tenth of the route, so that it adds to the whole plan at every zoom.
    const span = larghezza_utile() * V.mpp;
    const lungo = Math.max(300, Math.min(span, pianta.ultimo / 10));
    const centro_m = V.cursore !== null ? V.cursore : V.inizio + span / 2;
    const da = Math.max(0, centro_m - lungo / 2), a = Math.min(pianta.ultimo, Math.max(da, centro_m + lungo / 2));
    const rq = riquadro(da, a);
    const el = document.getElementById('pianta-dettaglio');
    const rapporto = Math.max(0.2, (el.clientHeight || 1) / (el.clientWidth || 1));
    const cx = (rq.x0 + rq.x1) / 2, cy = (rq.y0 + rq.y1) / 2;
    const mezzo = Math.max(100, (rq.x1 - rq.x0) * 0.55, (rq.y1 - rq.y0) * 0.55 / rapporto);
    const dettaglio = { x0: cx - mezzo, x1: cx + mezzo, y0: cy - mezzo * rapporto, y1: cy + mezzo * rapporto };
    disegna_pianta('pianta-intera', riquadro_intero, dettaglio, 0, pianta.ultimo);
    // The route well around the box, so that the route leaving and coming
    // back into it is drawn.
    const margine = 3 * Math.max(mezzo, lungo);
    disegna_pianta('pianta-dettaglio', dettaglio, null, Math.max(0, da - margine), Math.min(pianta.ultimo, a + margine));
  }

  // ---- what is under the pointer ----

  function trova(x, y) {
    const m = metro_di(x);
    const cella = Math.max(0, Math.min(N - 1, Math.floor(m / MC)));
    if (x < ML || x > W - MR) return null;
    if (y >= Y.nomi[0] && y < Y.nomi[1]) {
      for (const e of etichette_stazioni) {
        if (x >= e.x0 && x <= e.x1 && y >= e.y0 && y <= e.y1) return { tipo: 'stazione', r: e.s };
      }
      return { tipo: 'cella', c: cella };
    }
    if (y >= Y.ogg[0] && y < Y.ogg[1]) {
      const k = Math.floor((y - Y.ogg[0]) / H_STRISCIA);
      const lista = strisce[k];
      const tolleranza = Math.max(6 * V.mpp, MC / 2);
      let migliore = null, distanza = Infinity;
      for (let i = primo_da(lista, Math.floor((m - tolleranza) / MC) - 1); i < lista.length; i++) {
        const o = lista[i];
        const centro = (o.c + 0.5) * MC;
        if (centro > m + tolleranza + MC) break;
        const dd = Math.abs(centro - m);
        if (dd < distanza && dd <= tolleranza + MC / 2) { migliore = o; distanza = dd; }
      }
      if (migliore) return { tipo: 'oggetto', o: migliore };
      if (k === 3) {
        for (const s of stazioni) if (m >= s.inizio && m <= s.fine) return { tipo: 'stazione', r: s };
      }
      return { tipo: 'cella', c: cella };
    }
    if (y >= Y.vel[0] && y < Y.vel[1]) {
      for (const r of rallentamenti) {
        if (m >= r.da * MC && m < (r.a + 1) * MC) return { tipo: 'oggetto', o: r.inizio };
      }
    }
    if (y >= Y.mon[0] && y < Y.mon[1]) {
      const i = primo_da(segni_montagna, cella);
      if (i < segni_montagna.length && segni_montagna[i].c === cella) return { tipo: 'oggetto', o: segni_montagna[i] };
    }
    if (y >= Y.asse[0]) {
      let migliore = -1, distanza = 8;
      D.diagnostica.forEach(function (d, i) {
        if (!segnabile(d)) return;
        const dd = Math.abs(x_di(d.posizione) - x);
        if (dd < distanza) { migliore = i; distanza = dd; }
      });
      if (migliore >= 0) return { tipo: 'diag', i: migliore };
    }
    return { tipo: 'cella', c: cella };
  }

  // ---- the inspect panel ----

  const pannello = document.getElementById('ispeziona');

  function tabella(voci) {
    return '<table>' + voci.map(function (v) {
      return '<tr><td>' + esc(v[0]) + '</td><td>' + v[1] + '</td></tr>';
    }).join('') + '</table>';
  }
  // The stored codes, folded: one click away for those who check the files.
  function codici(voci) {
    return '<details class="codici"><summary>codici memorizzati</summary>' + tabella(voci) + '</details>';
  }

  // The address that opens a source place in the author's editor, from the
  // template given to `scenario view --editor`: {path} (absolute), {line},
  // {col}. A "/" before {path} and the "/" that starts the path make one.
  function indirizzo_editor(l) {
    if (!D.editor || !D.cartella) return null;
    let percorso = D.cartella.replace(/\/+$/, '') + '/' + l[0];
    const i = D.editor.indexOf('{path}');
    if (i > 0 && D.editor[i - 1] === '/' && D.editor[i - 2] !== '/') percorso = percorso.replace(/^\/+/, '');
    return D.editor.split('{path}').join(encodeURI(percorso))
      .split('{line}').join(String(l[1])).split('{col}').join(String(l[2]));
  }
  // "FILE:LINE:COL" of a source place, a link to the editor when there is one.
  function dove(l) {
    const t = esc(l[0]) + ':' + l[1] + ':' + l[2];
    // With a language server behind the page, the server opens it.
    if (D.apri) {
      return '<a class="editor apri" href="#" data-file="' + esc(l[0]) + '" data-riga="' + l[1] +
        '" data-colonna="' + l[2] + '" title="apri nel sorgente">' + t + ' \u00b7 apri nel sorgente</a>';
    }
    const u = indirizzo_editor(l);
    return u ? '<a class="editor" href="' + esc(u) + '" title="apri nell\'editor">' + t + '</a>' : t;
  }
  function riquadro_sorgente(l, prima) {
    return '<div class="sorgente">' + (prima ? '<div class="nota">' + prima + '</div>' : '') +
      '<div class="dove">' + dove(l) + '</div><pre>' + esc(l[3]) + '</pre></div>';
  }
  function html_sorgente(i) {
    if (D.fonte !== 'sorgenti') return '<p class="vuoto">Letto dai file binari: senza i sorgenti non si sa quale record lo ha posto.</p>';
    if (i < 0 || !D.luoghi[i]) return '<p class="vuoto">Nessun record del sorgente lo ha posto.</p>';
    return riquadro_sorgente(D.luoghi[i]);
  }
  // Where an object came from; a code reduction of the cab-code pass says
  // which slowdown made it.
  function html_provenienza(o) {
    if (o.passo_codici === 'posta') {
      const l = D.luoghi[o.causa];
      return l ? riquadro_sorgente(l, 'aggiunto dal passo dei codici di cabina per il rallentamento:')
        : '<p class="vuoto">Aggiunto dal passo dei codici di cabina.</p>';
    }
    let h = html_sorgente(o.luogo);
    if (o.passo_codici === 'abbassata' && D.luoghi[o.causa]) {
      h += riquadro_sorgente(D.luoghi[o.causa], 'valore abbassato dal passo dei codici di cabina per il rallentamento:');
    }
    return h;
  }

  // A gradient as the simulator reads it; byte 0 (-100) that no gradient
  // reached is said to be so, when the compile's journal knows.
  function pendenza_testo(c) {
    const q = sequenze.pendenza_per_mille;
    const i = q ? indice_sequenza(q, c) : -1;
    if (i < 0) return '';
    const g = q.v[i];
    const t = (g > 0 ? '+' : '') + g + ' \u2030';
    return q.r && q.r[i] === false && g === -100 ? t + ', che nessuna pendenza ha raggiunto' : t;
  }
  // What the stretch records give the cell: speed limit, gradient, mountain, adhesion.
  function campi_cella(c) {
    const montagna = valore_in('montagna', c);
    const preavviso = valore_in('preavviso', c);
    const v = [
      ['velocit\u00e0 massima', valore_in('velocita_kmh', c) + ' km/h'],
      ['pendenza', pendenza_testo(c)],
      ['montagna', montagna ? 'classe ' + montagna : 'no'],
      ['aderenza', valore_in('aderenza', c)]
    ];
    if (preavviso) v.push(['preavviso', 'codice ' + preavviso]);
    return v;
  }
  function estensione_cella(c) { return progressiva(c * MC) + ' \u2013 ' + progressiva((c + 1) * MC); }
  function codici_oggetto(o) {
    const v = [['cella', o.c + ' (' + numero(o.c * MC) + ' \u2013 ' + numero((o.c + 1) * MC) + ' m)'],
      ['tipo', o.tipo + ' (' + esc(o.nome_tipo) + ')'], ['valore_a', o.valore_a], ['valore_b', o.valore_b],
      ['valore_c', o.valore_c], ['valore_d', o.valore_d], ['tempo', o.tempo]];
    Object.keys(o.significato).forEach(function (k) { v.push([k, esc(o.significato[k])]); });
    return v;
  }
  function codici_riga(r) {
    const nomi = ['tipo', 'inizio', 'fine', 'posizione', 'opz_a', 'nome', 'cod_a', 'cod_b', 'cod_c', 'cod_d',
      'cod_e', 'opz_b', 'opz_c', 'opz_d', 'opz_e', 'orario'];
    return [['riga', r.riga]].concat(nomi.map(function (k) {
      return [k, k === 'nome' ? '"' + esc(r[k]) + '"' : esc(r[k])];
    }));
  }
  // A field as the catalogue names it to authors, with its own name beside
  // it for those who check the files: "classe del segnale (sx)".
  function etichetta_campo(record, nome) {
    const e = D.etichette && D.etichette[record] && D.etichette[record][nome];
    return e ? e + ' (' + nome + ')' : nome;
  }
  // The fields of a record as its author wrote them; a station's time as one
  // row.
  function campi_record(x) {
    const v = [];
    x.record.campi.forEach(function (k) {
      if (k[0] === 'minutes' || k[0] === 'seconds') return;
      if (k[0] === 'hours') {
        v.push(['orario (hours, minutes, seconds)', x.ora ? esc(x.ora) : 'nessuna']);
        return;
      }
      if (k[0] === 'name' || k[0] === 'text') return;
      v.push([etichetta_campo(x.record.nome, k[0]), esc(k.length > 2 ? k[2] : k[1])]);
    });
    return v;
  }
  function html_stazione(r, fisso, stop) {
    const v = [['nome (name)', '<b>' + esc(compatto(r.nome)) + '</b>']].concat(campi_record(r));
    v.splice(4, 0, ['zona', progressiva(r.inizio) + ' \u2013 ' + progressiva(r.fine) + ' (' + numero(r.fine - r.inizio) + ' m)']);
    if (stop) v.splice(5, 0, ['fermata', 'cella ' + stop.c + ' (' + estensione_cella(stop.c) + ')']);
    else if (!r.con_celle) v.splice(5, 0, ['fermata', 'nessuna cella (tipo 25 o pi\u00f9)']);
    // The time right after the zone and the stop, before the option columns.
    const k = v.findIndex(function (x) { return x[0].indexOf('orario ') === 0; });
    if (k > 0) v.splice(stop || !r.con_celle ? 6 : 5, 0, v.splice(k, 1)[0]);
    return '<h3>stazione ' + esc(compatto(r.nome)) + fisso + '</h3>' + html_sorgente(r.sorgente) +
      tabella(v) + codici(codici_riga(r));
  }
  function fermata_di(r) {
    return oggetti.find(function (o) { return o.nome_tipo === 'fermata' && o.riga === r.riga; });
  }
  const NOME_OGGETTO = {
    segnale: 'segnale', indicatori: 'indicatori di velocit\u00e0', cartello: 'cartello',
    abbattimento: 'abbattimento', abbattimento_nullo: 'abbattimento', segno_montagna: 'segno di montagna',
    inizio_rallentamento: 'inizio del rallentamento', fine_rallentamento: 'fine del rallentamento',
    avviso_rallentamento: 'avviso di rallentamento', preavviso_rallentamento: 'preavviso di rallentamento'
  };

  let mostrato = null;
  function mostra(s) {
    if (!s) return;
    const chiave = s.tipo + ':' + (s.o ? s.o.i : s.r ? s.r.riga : s.c !== undefined ? s.c : s.i) +
      (V.scelto === s ? ':fisso' : '');
    if (chiave === mostrato) return;
    mostrato = chiave;
    const fisso = V.scelto === s ? '<span class="fisso"> \u00b7 fissato (clic altrove per liberarlo)</span>' : '';
    let h = '';
    if (s.tipo === 'oggetto' && s.o.nome_tipo === 'fermata' && righe[s.o.riga]) {
      h = html_stazione(righe[s.o.riga], fisso, s.o);
      h += codici(codici_oggetto(s.o));
    } else if (s.tipo === 'oggetto') {
      const o = s.o;
      const nome = NOME_OGGETTO[o.nome_tipo] || o.nome_tipo;
      h = '<h3>' + esc(nome) + ' a ' + progressiva(o.posizione) + fisso + '</h3>' + html_provenienza(o);
      const voci = [];
      if (o.nome_tipo === 'cartello' && righe[o.riga]) voci.push(['testo (text)', '<b>' + esc(compatto(righe[o.riga].nome)) + '</b>']);
      if (o.record) {
        voci.push(['record', '<code>' + esc(o.record.nome) + '</code>' + (o.passo_codici === 'posta' ? ' (dal passo dei codici)' : '')]);
        campi_record(o).forEach(function (v) { voci.push(v); });
      }
      if (o.preavviso) {
        voci.push(['preavviso', 'codici ' + o.preavviso[0] + ' \u2013 ' + o.preavviso[1] + ', da 100 a 400 m prima']);
      }
      h += tabella(voci);
      h += '<h4>sul binario, cella ' + o.c + ' (' + estensione_cella(o.c) + ')</h4>' + tabella(campi_cella(o.c));
      const cod = codici_oggetto(o);
      if (o.riga !== null && righe[o.riga]) cod.push(['nome della riga ' + o.riga, '"' + esc(righe[o.riga].nome) + '"']);
      h += codici(cod);
    } else if (s.tipo === 'stazione') {
      h = html_stazione(s.r, fisso, fermata_di(s.r));
    } else if (s.tipo === 'cella') {
      h = '<h3>cella ' + s.c + ' \u00b7 ' + estensione_cella(s.c) + fisso + '</h3>' + tabella(campi_cella(s.c));
    } else if (s.tipo === 'diag') {
      h = html_diagnostico(D.diagnostica[s.i], true);
    }
    pannello.innerHTML = h;
  }

  // ---- diagnostics ----

  function titolo_diagnostico(d) {
    const testa = d.gravita === 'errore' ? 'errore ' + d.codice : 'avviso ' + d.nome;
    const pos = segnabile(d) ? ' (posizione ' + numero(d.posizione) + ' m, ' + progressiva(d.posizione) + ')' : '';
    return '<span class="gravita">' + esc(testa) + '</span>' + esc(pos) + ': ' + esc(d.messaggio);
  }
  function html_diagnostico(d, completo) {
    let h = '<div>' + titolo_diagnostico(d) + '</div>';
    const l = d.luogo >= 0 ? D.luoghi[d.luogo] : null;
    if (l) h += '<div class="dove">' + dove(l) + '</div><pre>' + esc(l[3]) + '</pre>';
    d.note.forEach(function (n) {
      const ln = n.luogo >= 0 ? D.luoghi[n.luogo] : null;
      h += '<div class="dove">nota: ' + esc(n.testo) + (ln ? ' (' + dove(ln) + ')' : '') + '</div>';
    });
    return completo ? '<h3>diagnostica</h3>' + h : h;
  }
  const lista_diagnostica = document.getElementById('diagnostica');
  function scegli_diagnostico(i) {
    V.diag = i;
    const d = D.diagnostica[i];
    Array.prototype.forEach.call(lista_diagnostica.children, function (li, k) {
      li.classList.toggle('scelta', k === i);
    });
    if (segnabile(d)) {
      V.cursore = d.posizione;
      centra(d.posizione, Math.min(larghezza_utile() * V.mpp, 1500));
    }
    V.scelto = { tipo: 'diag', i: i };
    mostra(V.scelto);
    richiedi();
  }
  function elenca_diagnostica() {
    lista_diagnostica.textContent = '';
    const n = D.diagnostica.length;
    const errori = D.diagnostica.filter(function (d) { return d.gravita === 'errore'; }).length;
    document.getElementById('diagnostica-titolo').textContent = 'Diagnostica' +
      (n ? ' (' + conta(errori, 'errore', 'errori') + ', ' + conta(n - errori, 'avviso', 'avvisi') + ')' : '');
    if (!n) {
      const li = document.createElement('li');
      li.className = 'nessuna';
      li.textContent = D.fonte === 'sorgenti' ? 'Nessun errore n\u00e9 avviso.' :
        'Letto dai file binari: la diagnostica viene dalla compilazione dei sorgenti.';
      lista_diagnostica.appendChild(li);
    }
    D.diagnostica.forEach(function (d, i) {
      const li = document.createElement('li');
      li.className = d.gravita;
      li.innerHTML = html_diagnostico(d, false);
      li.addEventListener('click', function () { scegli_diagnostico(i); });
      lista_diagnostica.appendChild(li);
    });
  }

  // ---- find ----

  // A text to compare: lower case, brackets and quotes left out, runs of
  // blanks as one.
  function da_cercare(t) {
    return String(t).toLowerCase().replace(/[()\[\]{}"'\u00ab\u00bb]/g, ' ').replace(/\s+/g, ' ').trim();
  }
  // A position as authors write it: 27+250, 27.250, 27,250 (kilometres and
  // three digits of metres) or 27250 metres; null for anything else.
  function leggi_posizione(q) {
    const k = /^(\d+)\s*\+\s*(\d{1,3})$/.exec(q) || /^(\d+)\s*[.,]\s*(\d{3})$/.exec(q);
    if (k) return Number(k[1]) * 1000 + Number(k[2]);
    if (/^\d+$/.test(q)) return Number(q);
    return null;
  }
  // Stations and signs whose name or text holds the words, in route order.
  let cercabili = [];
  function elenca_cercabili() {
    cercabili = stazioni.map(function (r) {
    return { m: r.posizione, testo: da_cercare(r.nome), scelta: function () { return { tipo: 'stazione', r: r }; },
      span: Math.max(3000, (r.fine - r.inizio) * 3) };
  }).concat(oggetti.filter(function (o) { return o.nome_tipo === 'cartello' && righe[o.riga]; }).map(function (o) {
    return { m: (o.c + 0.5) * MC, testo: da_cercare(righe[o.riga].nome), scelta: function () { return { tipo: 'oggetto', o: o }; },
      span: 2000 };
  })).sort(function (x, y) { return x.m - y.m; });
  }

  // The kinds the box knows by name, singular or plural: every object of
  // the kind, in route order, one Enter after the other.
  function di_tipo(nome) {
    return strisce.flat().concat(segni_montagna).filter(function (o) { return o.nome_tipo === nome; })
      .sort(function (x, y) { return x.c - y.c; })
      .map(function (o) {
        return { m: (o.c + 0.5) * MC, scelta: function () { return { tipo: 'oggetto', o: o }; }, span: 2000 };
      });
  }
  const TIPI_CERCATI = {
    segnale: function () { return di_tipo('segnale'); },
    stazione: function () {
      return stazioni.slice().sort(function (x, y) { return x.posizione - y.posizione; }).map(function (r) {
        return { m: r.posizione, scelta: function () { return { tipo: 'stazione', r: r }; },
          span: Math.max(3000, (r.fine - r.inizio) * 3) };
      });
    },
    rallentamento: function () {
      return rallentamenti.filter(function (r) { return r.inizio; }).map(function (r) {
        return { m: r.da * MC, scelta: function () { return { tipo: 'oggetto', o: r.inizio }; },
          span: Math.max(2000, (r.a + 1 - r.da) * MC * 3) };
      });
    },
    cartello: function () { return di_tipo('cartello'); },
    indicatori: function () { return di_tipo('indicatori'); },
    abbattimento: function () { return di_tipo('abbattimento').concat(di_tipo('abbattimento_nullo')).sort(function (x, y) { return x.m - y.m; }); }
  };
  const PLURALI = { segnali: 'segnale', stazioni: 'stazione', rallentamenti: 'rallentamento', cartelli: 'cartello',
    abbattimenti: 'abbattimento' };

  // The last search: Enter with the same words steps to the next match.
  const ricerca = { q: null, trovati: [], k: -1 };
  function cerca(q) {
    q = q.trim();
    const esito = document.getElementById('cerca-esito');
    esito.textContent = '';
    esito.className = '';
    if (!q) return false;
    const m = leggi_posizione(q);
    if (m !== null) {
      ricerca.q = null;
      if (m > FINE) { esito.textContent = 'oltre la fine'; return false; }
      V.cursore = m;
      V.scelto = { tipo: 'cella', c: Math.min(N - 1, Math.floor(m / MC)) };
      centra(m, Math.min(larghezza_utile() * V.mpp, 2000));
      mostra(V.scelto);
      return true;
    }
    const p = da_cercare(q);
    if (ricerca.q === p && ricerca.trovati.length) {
      ricerca.k = (ricerca.k + 1) % ricerca.trovati.length;
    } else {
      ricerca.q = p;
      const tipo = TIPI_CERCATI[PLURALI[p] || p];
      ricerca.trovati = tipo ? tipo() :
        p ? cercabili.filter(function (x) { return x.testo.indexOf(p) >= 0; }) : [];
      ricerca.k = 0;
    }
    if (!ricerca.trovati.length) {
      esito.textContent = 'non trovato';
      esito.className = 'nessuno';
      return false;
    }
    const x = ricerca.trovati[ricerca.k];
    V.cursore = x.m;
    V.scelto = x.scelta();
    centra(x.m, Math.min(larghezza_utile() * V.mpp, x.span));
    mostra(V.scelto);
    esito.textContent = (ricerca.k + 1) + ' di ' + ricerca.trovati.length;
    return true;
  }
  document.getElementById('cerca').addEventListener('submit', function (e) {
    e.preventDefault();
    cerca(document.getElementById('cerca-testo').value);
  });

  // ---- pointer, wheel and keys ----

  const puntatori = new Map();
  let trascina = null, pinza = null;
  function locale(e) {
    const r = profilo.getBoundingClientRect();
    return { x: e.clientX - r.left, y: e.clientY - r.top };
  }
  profilo.addEventListener('pointerdown', function (e) {
    profilo.setPointerCapture(e.pointerId);
    puntatori.set(e.pointerId, locale(e));
    if (puntatori.size === 2) {
      const [a, b] = Array.from(puntatori.values());
      pinza = { d: Math.abs(a.x - b.x) || 1, mpp: V.mpp, m: metro_di((a.x + b.x) / 2) };
      trascina = null;
    } else {
      const p = locale(e);
      trascina = { x: p.x, inizio: V.inizio, mosso: false };
    }
  });
  profilo.addEventListener('pointermove', function (e) {
    if (!D) return;
    const p = locale(e);
    if (puntatori.has(e.pointerId)) puntatori.set(e.pointerId, p);
    if (pinza && puntatori.size === 2) {
      const [a, b] = Array.from(puntatori.values());
      const cx = (a.x + b.x) / 2;
      V.mpp = pinza.mpp * pinza.d / (Math.abs(a.x - b.x) || 1);
      limita();
      V.inizio = pinza.m - (cx - ML) * V.mpp;
      limita();
      richiedi();
      return;
    }
    if (trascina && (trascina.mosso || Math.abs(p.x - trascina.x) > 3)) {
      trascina.mosso = true;
      profilo.classList.add('trascina');
      V.inizio = trascina.inizio - (p.x - trascina.x) * V.mpp;
      limita();
    }
    V.cursore = p.x >= ML && p.x <= W - MR ? metro_di(p.x) : null;
    V.sopra = trascina && trascina.mosso ? null : trova(p.x, p.y);
    // An object under the pointer is shown even over a fixed choice; a bare
    // cell only when nothing is fixed.
    if (V.sopra && (V.sopra.tipo !== 'cella' || !V.scelto)) mostra(V.sopra);
    else if (V.scelto) mostra(V.scelto);
    richiedi();
  });
  function rilascia(e) {
    puntatori.delete(e.pointerId);
    if (!D) return;
    if (pinza) { if (puntatori.size < 2) pinza = null; trascina = null; return; }
    profilo.classList.remove('trascina');
    if (trascina && !trascina.mosso && e.type === 'pointerup') {
      const p = locale(e);
      const s = trova(p.x, p.y);
      if (s && s.tipo === 'diag') {
        scegli_diagnostico(s.i);
      } else if (s && V.scelto && s.tipo === V.scelto.tipo && (s.o === V.scelto.o && s.r === V.scelto.r && s.c === V.scelto.c)) {
        V.scelto = null;
        mostra(s);
      } else if (s && s.tipo !== 'cella') {
        V.scelto = s;
        mostra(s);
      } else {
        V.scelto = null;
        if (s) mostra(s);
      }
      richiedi();
    }
    trascina = null;
  }
  profilo.addEventListener('pointerup', rilascia);
  profilo.addEventListener('pointercancel', rilascia);
  profilo.addEventListener('pointerleave', function () {
    if (trascina) return;
    V.cursore = null; V.sopra = null;
    richiedi();
  });
  profilo.addEventListener('wheel', function (e) {
    e.preventDefault();
    if (tempi.rotella_da === null) tempi.rotella_da = e.timeStamp;
    const p = locale(e);
    const passo = e.deltaMode === 1 ? e.deltaY * 30 : e.deltaY;
    if (Math.abs(e.deltaX) > Math.abs(e.deltaY) && !e.ctrlKey) {
      V.inizio += e.deltaX * V.mpp;
      limita();
      richiedi();
      return;
    }
    zoom(Math.exp(-passo * (e.ctrlKey ? 0.01 : 0.002)), Math.max(ML, Math.min(W - MR, p.x)));
  }, { passive: false });

  function centro_x() { return ML + larghezza_utile() / 2; }
  document.getElementById('ingrandisci').addEventListener('click', function () { zoom(2, centro_x()); });
  document.getElementById('riduci').addEventListener('click', function () { zoom(0.5, centro_x()); });
  document.getElementById('tutto').addEventListener('click', tutto);
  document.addEventListener('keydown', function (e) {
    if (e.target && (e.target.tagName === 'INPUT' || e.target.tagName === 'TEXTAREA')) return;
    const span = larghezza_utile() * V.mpp;
    switch (e.key) {
      case 'ArrowLeft': V.inizio -= e.shiftKey ? MC : span / 5; break;
      case 'ArrowRight': V.inizio += e.shiftKey ? MC : span / 5; break;
      case 'PageUp': V.inizio -= span; break;
      case 'PageDown': V.inizio += span; break;
      case '+': case '=': zoom(2, centro_x()); return;
      case '-': case '_': zoom(0.5, centro_x()); return;
      case '0': tutto(); return;
      case 'Home': V.inizio = -Infinity; break;
      case 'End': V.inizio = Infinity; break;
      case 'Escape': V.scelto = null; break;
      default: return;
    }
    e.preventDefault();
    limita();
    richiedi();
  });
  // A click on a plan centres the profile on the nearest point of the route.
  ['pianta-intera', 'pianta-dettaglio'].forEach(function (id) {
    document.getElementById(id).addEventListener('click', function (e) {
      const t = trasformazioni[id];
      if (!t || !pianta) return;
      const r = e.currentTarget.getBoundingClientRect();
      const x = e.clientX - r.left, y = e.clientY - r.top;
      let migliore = 0, distanza = Infinity;
      for (let i = 0; i < pianta.n; i++) {
        const dd = Math.hypot(t.X(pianta.px[i]) - x, t.Y(pianta.py[i]) - y);
        if (dd < distanza) { distanza = dd; migliore = i; }
      }
      V.cursore = migliore * pianta.passo;
      centra(V.cursore);
    });
  });
  window.addEventListener('resize', richiedi);

  // ---- title, summary, legend ----

  function intestazione() {
    document.getElementById('titolo').textContent = 'Linea ' + D.linea + ' \u2014 treni ' + D.treni;
    document.getElementById('riassunto').textContent = [
      'percorso ' + numero(L) + ' m', conta(N, 'cella', 'celle'), conta(stazioni.length, 'stazione', 'stazioni'),
      conta(strisce[0].length, 'segnale', 'segnali'), conta(cartelli.length, 'cartello', 'cartelli'),
      conta(rallentamenti.length, 'rallentamento', 'rallentamenti'),
      D.fonte === 'sorgenti' ? 'compilato dai sorgenti' : 'letto dai file binari'
    ].concat(D.non_compilati ? ['compilazione fermata: ' +
      conta(D.non_compilati, 'record non compilato', 'record non compilati')] : []).map(function (t) { return t.replace(/ /g, '\u00a0'); }).join(' \u00b7 '); // wrapped between counts, never inside one
  }
  // Each swatch's colour goes through the style object, not a style
  // attribute: the live page's policy allows no inline style but its own.
  [
    ['stazione', COLORE.stazione], ['segnale', COLORE.segnale], ['rallentamento', COLORE.rallentamento],
    ['indicatori', COLORE.indicatori], ['cartello', COLORE.cartello], ['abbattimento', COLORE.abbattimento],
    ['velocit\u00e0 massima', COLORE.velocita], ['salita', COLORE.salita], ['discesa', COLORE.discesa],
    ['montagna 1', COLORE.montagna[1]], ['montagna 2', COLORE.montagna[2]], ['montagna 3', COLORE.montagna[3]],
    ['parte mostrata', COLORE.visibile], ['cursore', COLORE.cursore],
    ['rotella o pizzico: zoom \u00b7 trascina o frecce: sposta \u00b7 0: tutto', 'transparent']
  ].forEach(function (v) {
    const voce = document.createElement('span');
    voce.textContent = v[0];
    voce.style.setProperty('--c', v[1]);
    document.getElementById('legenda').appendChild(voce);
  });

  // For people and tests driving the page.
  window.visore = {
    stato: V,
    get dati() { return D; },
    carica: carica,
    tempi: tempi,
    get oggetti() { return oggetti; },
    // The page coordinates of the centre of cell c in strip k of the objects track.
    punto_cella: function (c, k) {
      const r = profilo.getBoundingClientRect();
      return { x: r.left + x_di((c + 0.5) * MC), y: r.top + Y.ogg[0] + H_STRISCIA * (k + 0.5) };
    },
    // The page coordinates of the mark of diagnostic i on the axis; null when
    // it has none or it is out of view.
    punto_diagnostico: function (i) {
      const d = D.diagnostica[i];
      if (!d || !segnabile(d)) return null;
      const x = x_di(d.posizione);
      if (x < ML || x > W - MR) return null;
      const r = profilo.getBoundingClientRect();
      return { x: r.left + x, y: r.top + Y.asse[0] + 42 };
    },
    // The page coordinates of metre m in the middle of the speed track.
    punto_velocita: function (m) {
      const r = profilo.getBoundingClientRect();
      return { x: r.left + x_di(m), y: r.top + (Y.vel[0] + Y.vel[1]) / 2 };
    },
    // The index of the object in cell c; -1 for none.
    oggetto_in: function (c) { const o = oggetto_in.get(c); return o ? o.i : -1; },
    etichetta: function (o) { return testo_breve(oggetti[o.i]); },
    // The station names on each plan and the route's points there (a NaN
    // pair begins a stretch), in the pane's pixels; the km/h scale's lines
    // and label boxes, in the profile's.
    etichette_piante: etichette_piante,
    scala_velocita: scala_velocita,
    centra: centra,
    cerca: cerca,
    indirizzo: indirizzo
  };

  // ---- the address: #27250@2km keeps the place and the zoom ----

  // "2km", "2.5km", "800m": the length of the part shown.
  function ampiezza(span) {
    if (span >= 1000) return String(Math.round(span / 100) / 10) + 'km';
    return Math.max(1, Math.round(span)) + 'm';
  }
  function indirizzo() {
    const span = larghezza_utile() * V.mpp;
    return '#' + Math.round(V.inizio + span / 2) + '@' + ampiezza(span);
  }
  // The middle (as in the find box) and the length of the address; false
  // when it says neither.
  function leggi_indirizzo(h) {
    const k = /^#?([^@]+?)(?:@(\d+(?:[.,]\d+)?)\s*(km|m))?$/.exec(decodeURIComponent(h || ''));
    if (!k) return false;
    const m = leggi_posizione(k[1].trim());
    if (m === null) return false;
    const span = k[2] ? Number(k[2].replace(',', '.')) * (k[3] === 'km' ? 1000 : 1) : null;
    V.cursore = null;
    centra(m, span || larghezza_utile() * V.mpp);
    return true;
  }
  let scritto = '', in_attesa = null;
  // The address follows the view, a moment after it stops moving (never
  // while it moves: the browser may take a while over each change); it
  // replaces the entry, so that Back still leaves the page.
  function segui_indirizzo() {
    if (in_attesa !== null) clearTimeout(in_attesa);
    in_attesa = setTimeout(function () {
      in_attesa = null;
      const h = indirizzo();
      if (h === scritto || h === location.hash) { scritto = h; return; }
      scritto = h;
      try { history.replaceState(null, '', h); } catch (e) { /* an address that cannot change */ }
    }, 200);
  }
  window.addEventListener('hashchange', function () {
    if (location.hash !== scritto) leggi_indirizzo(location.hash);
  });

  // A choice made on the old data, on the new one: the object in the same
  // cell, the station in the same row, the same cell; null when it is gone.
  function ritrova(s) {
    if (!s) return null;
    if (s.tipo === 'oggetto') {
      const o = oggetto_in.get(s.o.c);
      return o && o.nome_tipo === s.o.nome_tipo ? { tipo: 'oggetto', o: o } : null;
    }
    if (s.tipo === 'stazione') {
      const r = righe[s.r.riga];
      return r && r.uso === 'stazione' ? { tipo: 'stazione', r: r } : null;
    }
    if (s.tipo === 'cella') return s.c < N ? s : null;
    if (s.tipo === 'diag') return s.i < D.diagnostica.length ? s : null;
    return null;
  }

  // The first view: the address's, or the whole route.
  function prima_vista() {
    W = profilo.getBoundingClientRect().width;
    tutto();
    if (location.hash) {
      scritto = location.hash;
      leggi_indirizzo(location.hash);
    }
    disegna();
  }

  // New data, drawn in place: zoom, position, the fixed object and the find
  // box stay; the diagnostics and the summary follow the data.
  function carica(nuovi) {
    const primo = D === null;
    leggi_dati(nuovi);
    tempi.caricati++;
    calcola_vmax();
    scala_pendenze();
    pianta = prepara_pianta();
    riquadro_intero = null;
    sfondi = {};
    elenca_cercabili();
    ricerca.q = null;
    elenca_diagnostica();
    intestazione();
    if (primo) { prima_vista(); return; }
    V.sopra = null;
    V.scelto = ritrova(V.scelto);
    if (V.diag >= D.diagnostica.length) V.diag = -1;
    Array.prototype.forEach.call(lista_diagnostica.children, function (li, k) {
      li.classList.toggle('scelta', k === V.diag);
    });
    if (V.scelto) mostra(V.scelto);
    else pannello.innerHTML = '<p class="vuoto">Passa sopra un oggetto per vederne i valori; un clic lo fissa.</p>';
    limita();
    richiedi();
  }

  const iniziali = JSON.parse(document.getElementById('dati').textContent);
  if (iniziali) carica(iniziali);
})();

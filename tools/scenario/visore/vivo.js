// The live page: the route's states come from the server as Server-Sent
// Events (`modello` with the page's data, `fatale` with the message that
// takes the route's place) and are drawn in place by `visore.carica`. The
// browser reconnects by itself when the stream drops. With a language
// server behind the page, a click on a record's place asks it to open the
// record in the editor.
(function () {
  'use strict';

  const viste = document.getElementById('viste');
  const avviso = document.createElement('div');
  avviso.id = 'fatale';
  avviso.setAttribute('role', 'alert');
  avviso.hidden = true;
  avviso.style.cssText = 'padding:2em;font:16px system-ui,sans-serif;color:#b71c1c;white-space:pre-wrap';
  viste.insertBefore(avviso, viste.firstChild);

  function mostra_percorso(si) {
    Array.prototype.forEach.call(viste.children, function (e) {
      if (e !== avviso) e.style.display = si ? '' : 'none';
    });
    avviso.hidden = si;
  }

  let stati = 0;
  const flusso = new EventSource('eventi');
  flusso.addEventListener('modello', function (e) {
    mostra_percorso(true);
    const dati = JSON.parse(e.data);
    window.visore.carica(dati);
    document.title = 'Linea ' + dati.linea + ' \u2014 treni ' + dati.treni + ' (dal vivo)';
    stati++;
    document.body.dataset.stati = String(stati);
    document.body.dataset.stato = 'modello';
  });
  flusso.addEventListener('fatale', function (e) {
    // Text only: the message names paths the author chose.
    avviso.textContent = 'Il percorso non si pu\u00f2 mostrare:\n' + JSON.parse(e.data).messaggio +
      '\n\nLa pagina si aggiorna da s\u00e9 quando il sorgente torna.';
    mostra_percorso(false);
    stati++;
    document.body.dataset.stati = String(stati);
    document.body.dataset.stato = 'fatale';
  });

  document.addEventListener('click', function (e) {
    const a = e.target && e.target.closest ? e.target.closest('a.apri') : null;
    if (!a) return;
    e.preventDefault();
    fetch('apri', {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ file: a.dataset.file, riga: Number(a.dataset.riga), colonna: Number(a.dataset.colonna) })
    }).catch(function () { /* the server is gone: nothing to open */ });
  });
})();

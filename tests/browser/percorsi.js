// The sources both browser tests write: lines in Windows-1252 with CR LF, and
// the longest route there is, with a signal every kilometre and a curve every
// five.
const fs = require('fs');
const path = require('path');

const LINEA = 'Calvetra_linea.txt';
const TRENO = 'Calvetra_2718 - 5340-.txt';

function crlf(righe) { return righe.map((r) => r + '\r\n').join(''); }

// Writes the two sources of the 1000000 m route into `cartella`; gives back
// their lines, for a test that saves them changed.
function scrivi_percorso_lungo(cartella) {
  const linea = ['[generale]', 'lunghezza percorso, 1000000', '[curve]'];
  for (let m = 2000; m < 990000; m += 5000) linea.push('curva' + (m % 2 ? 's' : 'd') + (1 + (m / 5000) % 6) + ', ' + m + ', 1000');
  for (let m = 0; m < 990000; m += 7000) linea.push('pendenza, ' + m + ', ' + ((m / 7000) % 21 - 10));
  linea.push('[fine]');
  const treno = ['[generale]', 'velocita, 0, 100'];
  for (let m = 10000; m < 990000; m += 10000) treno.push('velocita, ' + m + ', ' + (60 + (m / 10000) % 8 * 10));
  for (let m = 1000; m < 990000; m += 1000) treno.push('segnale, ' + m + ', 1, 5, 1, 0, 0, 0, 0, 0, 0, 0');
  treno.push('[fine]');
  fs.writeFileSync(path.join(cartella, LINEA), crlf(linea), 'latin1');
  fs.writeFileSync(path.join(cartella, TRENO), crlf(treno), 'latin1');
  return { linea, treno };
}

module.exports = { LINEA, TRENO, crlf, scrivi_percorso_lungo };

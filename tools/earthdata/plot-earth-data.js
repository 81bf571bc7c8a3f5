'use strict';
// Draws the Earth data files as the program reads them (coastlines from
// ERDE_0.BIN, borders from grenze_1.bin, cities from CITY.DAT) on an
// equirectangular map, to look at them. Needs ImageMagick's `convert`.
//
//   node plot-earth-data.js karte.png [westLon ostLon suedLat nordLat [breite]]

const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const fmt = require('./lib/formats');

const dataDir = path.join(__dirname, '..', '..', 'data');
const [out = 'karte.png', west = -180, east = 180, south = -90, north = 90, width = 1800] = process.argv
  .slice(2)
  .map((a, i) => (i === 0 ? a : Number(a)));
const height = Math.round((width * (north - south)) / (east - west));

const deg = (rad) => rad / fmt.DEG;
const x = (lonDeg) => (((lonDeg - west) / (east - west)) * width).toFixed(1);
const y = (latDeg) => (((north - latDeg) / (north - south)) * height).toFixed(1);

// Splits a decoded polyline where it jumps across the map's edge.
function drawPolyline(points, lonOf) {
  const cmds = [];
  let run = [];
  const flush = () => {
    if (run.length >= 2) cmds.push(`polyline ${run.join(' ')}`);
    run = [];
  };
  let prev = null;
  for (const [lon, lat] of points) {
    const l = lonOf(lon);
    if (prev !== null && Math.abs(l - prev) > 180) flush();
    run.push(`${x(l)},${y(deg(lat))}`);
    prev = l;
  }
  flush();
  return cmds;
}

// Longitudes are shown from the map's western edge eastward, so that a map
// from 160° to 200° shows the region round ±180° in one piece.
const toMapLon = (rad) => {
  let d = (deg(rad) - west) % 360;
  if (d < 0) d += 360;
  return west + d;
};

const mvg = [`viewbox 0 0 ${width} ${height}`, 'fill none', 'stroke-width 1'];
mvg.push('stroke #606060');
for (let lon = -180; lon <= 180; lon += 30) mvg.push(`line ${x(lon)},0 ${x(lon)},${height}`);
for (let lat = -90; lat <= 90; lat += 30) mvg.push(`line 0,${y(lat)} ${width},${y(lat)}`);

mvg.push('stroke white');
const coast = fmt.readCompactFile('ERDE_0.BIN', fs.readFileSync(path.join(dataDir, 'ERDE_0.BIN')));
for (const seg of coast.segments) mvg.push(...drawPolyline(seg.points, toMapLon));

mvg.push('stroke yellow');
const borders = fmt.readCompactFile('grenze_1.bin', fs.readFileSync(path.join(dataDir, 'grenze_1.bin')));
let line = [];
for (const seg of borders.segments) {
  if (seg.penUp && line.length > 0) {
    mvg.push(...drawPolyline(line, toMapLon));
    line = [];
  }
  line.push(...seg.points);
}
mvg.push(...drawPolyline(line, toMapLon));

mvg.push('stroke none', 'fill #ff6060', "font 'DejaVu-Sans'", 'font-size 10');
const cityText = fs.readFileSync(path.join(dataDir, 'CITY.DAT')).toString('latin1').split('\r\n');
let i = 0;
while (cityText[i].startsWith('%')) i++;
for (const row of cityText.slice(i + 1)) {
  if (!row) continue;
  const [name, lat, lon] = row.split(',');
  const px = Number(x(toMapLon(Number(lon) * fmt.DEG)));
  const py = Number(y(Number(lat)));
  mvg.push(`rectangle ${px - 1},${py - 1} ${px + 1},${py + 1}`);
  mvg.push(`text ${px + 4},${py + 3} '${name.replace(/'/g, "\\'")}'`);
}

// The picture is drawn from an MVG script on standard input; the background
// is its first rectangle.
mvg.splice(1, 0, 'fill #101040', `rectangle 0,0 ${width},${height}`);
execFileSync('convert', ['mvg:-', out], { input: mvg.join('\n') + '\n' });
console.log(`${out}: ${width} x ${height}`);

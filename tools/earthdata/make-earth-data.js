'use strict';
// Makes Lunotrop's Earth data files in data/ from Natural Earth (world-atlas
// 2.0.2, decoded with topojson-client 3.1.0), then reads every file back with
// the program's own loading rules and checks the result.
//
//   npm ci && node make-earth-data.js [output folder]
//
// The output depends only on the pinned packages: running it twice gives
// byte-identical files.

const fs = require('fs');
const path = require('path');
const topojson = require('topojson-client');
const land50 = require('world-atlas/land-50m.json');
const countries50 = require('world-atlas/countries-50m.json');

const geo = require('./lib/geometry');
const fmt = require('./lib/formats');
const { CITIES } = require('./lib/cities');

const DEG = fmt.DEG;

// Coastlines: 0.1° keeps the outline recognisable on a globe of a few hundred
// pixels and brings the 50 m data (1 583 pieces) within the program's 701
// segments. Islands smaller than 0.5° would be dots at that size.
const COAST_TOLERANCE = 0.1;
const MIN_ISLAND_EXTENT = 0.5;
const MAX_SEGMENTS = 701;
const MAX_COAST_DELTAS = 200; // 201 points, the size of the reader's point buffer
// Steps a two-byte delta can carry (−5°..+6.21°, −2.4°..+8.81°), less the
// 0.03° by which the reader's running position may differ from the source.
const COAST_STEP = { lonMin: -4.8, lonMax: 6.0, latMin: -2.2, latMax: 8.5 };

// Borders are finer (0.05°); one-byte deltas carry about ±0.65° / ±0.33°, less
// the up to 0.044° / 0.022° the running position may be off.
const BORDER_TOLERANCE = 0.05;
const BORDER_STEP = { lonMin: -0.6, lonMax: 0.6, latMin: -0.3, latMax: 0.3 };

const COAST_LIMIT = 0.035;
const ECLGRAPH_LIMIT = 0.03;
const BORDER_LIMIT = 0.05;
const MAX_CITIES = 199;
const MAX_NAME = 20;

// Areas without an ISO code in Natural Earth's country outlines, and the
// country whose borders they share (see data/QUELLEN.md). Kosovo keeps its own.
const MERGED_AREAS = {
  'N. Cyprus': 'Cyprus',
  Somaliland: 'Somalia',
  'Siachen Glacier': 'India',
  'Indian Ocean Ter.': 'Australia',
};

// ------------------------------------------------------------------ coastlines

function polygonRings(featureCollection) {
  const rings = [];
  for (const feature of featureCollection.features) {
    const g = feature.geometry;
    const polygons = g.type === 'Polygon' ? [g.coordinates] : g.coordinates;
    for (const polygon of polygons) rings.push(...polygon);
  }
  return rings;
}

const onAntimeridian = (p) => Math.abs(p[0]) >= 179.99;

// Natural Earth closes polygons cut at ±180° along the cut, and Antarctica with
// a ring round the South Pole; neither edge is a coast.
function isCutEdge(p, q) {
  return (onAntimeridian(p) && onAntimeridian(q)) || (p[1] < -89.9 && q[1] < -89.9);
}

function buildCoastlines() {
  const rings = polygonRings(topojson.feature(land50, land50.objects.land)).map(geo.withoutRepeats);
  const lines = [];
  let smallIslands = 0;
  for (const ring of rings) {
    // An island cut at ±180° has two halves; each may look small alone.
    if (geo.extent(ring) < MIN_ISLAND_EXTENT && !ring.some(onAntimeridian)) {
      smallIslands++;
      continue;
    }
    for (const run of geo.cutRing(ring, isCutEdge)) {
      const line = geo.simplify(run, COAST_TOLERANCE);
      if (line.length >= 2) lines.push(geo.densify(line, COAST_STEP));
    }
  }
  // Each piece is a polyline of its own; neighbours share their joint point.
  const segments = [];
  for (const line of lines) {
    for (const [first, last] of geo.pieces(line.length, MAX_COAST_DELTAS, true)) {
      segments.push(line.slice(first, last + 1));
    }
  }
  return { rings: rings.length, smallIslands, lines: lines.length, segments };
}

function eastRadians([lonDeg, latDeg]) {
  let lon = lonDeg < 0 ? lonDeg + 360 : lonDeg;
  if (lon >= 360) lon -= 360;
  return [lon * DEG, latDeg * DEG];
}

function writeCompactCoastlines(segments) {
  const bytes = [];
  for (const seg of segments) {
    fmt.encodeCompactLine(seg.map(eastRadians), [[0, seg.length - 1]], true, true, bytes);
  }
  return Buffer.from(bytes);
}

// --------------------------------------------------------------------- borders

function countryKey(geometry) {
  const name = geometry.properties.name;
  return MERGED_AREAS[name] || name;
}

function buildBorders() {
  const mesh = topojson.mesh(countries50, countries50.objects.countries, (a, b) => countryKey(a) !== countryKey(b));
  const lines = [];
  for (const coords of mesh.coordinates) {
    const line = geo.simplify(geo.withoutRepeats(coords), BORDER_TOLERANCE);
    if (line.length >= 2 && !line.every((p) => p[0] === line[0][0] && p[1] === line[0][1])) {
      lines.push(geo.densify(line, BORDER_STEP));
    }
  }
  return { meshLines: mesh.coordinates.length, lines };
}

function writeBorders(lines) {
  const bytes = [];
  for (const line of lines) {
    const radians = line.map(([lon, lat]) => [lon * DEG, lat * DEG]);
    fmt.encodeCompactLine(radians, geo.pieces(line.length, fmt.MAX_COUNT, false), false, true, bytes);
  }
  return Buffer.from(bytes);
}

// ---------------------------------------------------------------------- cities

// Windows-1252 agrees with Latin-1 outside 0x80..0x9F; the names need no more.
function toWindows1252(text) {
  for (const ch of text) {
    const c = ch.codePointAt(0);
    if (c > 0xff || (c >= 0x80 && c < 0xa0)) throw new Error(`Zeichen ${ch} nicht in Windows-1252`);
  }
  return Buffer.from(text, 'latin1');
}

function writeCities() {
  const lines = [
    '% CITY.DAT - Orte für die Erdkugel von Lunotrop',
    '% Je Zeile: Name, geographische Breite (Nord positiv), geographische Länge (Ost positiv), in Grad.',
    '% Hauptstädte, große Städte und deutsche Städte, von Hand zusammengestellt; Koordinaten auf 0.01 Grad.',
    '% Erzeugt von tools/earthdata/make-earth-data.js; Quellen in QUELLEN.md.',
    'Name,Breite,Laenge',
  ];
  for (const [name, lat, lon] of CITIES) {
    lines.push(`${name},${lat.toFixed(2)},${lon.toFixed(2)}`);
  }
  return toWindows1252(lines.map((l) => l + '\r\n').join(''));
}

// ------------------------------------------------------------------ self-check

function check(condition, message) {
  if (!condition) throw new Error(`Prüfung fehlgeschlagen: ${message}`);
}

// Deviation in degrees, longitude taken the short way round, not scaled by the
// latitude (the stricter measure near the poles).
function deviation([lon1, lat1], [lon2, lat2]) {
  return Math.hypot(fmt.wrapPi(lon1 - lon2), lat1 - lat2) / DEG;
}

function checkCoastlines(segments, compact, erdeBin, eclgraphText) {
  const decoded = fmt.readCompactFile('ERDE_0.BIN', compact);
  check(decoded.wordDeltas, 'ERDE_0.BIN hat Zwei-Byte-Schritte');
  check(decoded.segments.length === segments.length, 'ERDE_0.BIN: Zahl der Segmente');
  check(decoded.segments.length <= MAX_SEGMENTS, `ERDE_0.BIN: höchstens ${MAX_SEGMENTS} Segmente`);
  let maxCompact = 0;
  decoded.segments.forEach((seg, i) => {
    check(seg.penUp, 'ERDE_0.BIN: jedes Segment beginnt neu');
    check(seg.points.length <= MAX_COAST_DELTAS + 1, `ERDE_0.BIN: Segment ${i} hat ${seg.points.length} Punkte`);
    check(seg.points.length === segments[i].length, `ERDE_0.BIN: Punktzahl von Segment ${i}`);
    seg.points.forEach((p, k) => {
      check(p[0] >= 0 && p[0] <= fmt.TWO_PI, 'ERDE_0.BIN: Länge in 0..2π');
      maxCompact = Math.max(maxCompact, deviation(p, eastRadians(segments[i][k])));
    });
  });
  check(maxCompact <= COAST_LIMIT, `ERDE_0.BIN weicht ${maxCompact}° ab`);

  // ERDE.BIN is exactly what the program makes of ECLGRAPH.DAT.
  check(fmt.convertEclgraph(eclgraphText).equals(erdeBin), 'ERDE.BIN = umgewandelte ECLGRAPH.DAT');
  check(erdeBin.readUInt32LE(erdeBin.length - 4) === fmt.END_BITS, 'ERDE.BIN endet mit 999°');
  const bin = fmt.readErdeBin(erdeBin);
  check(bin.dropped === 0, 'ERDE.BIN: keine Punkte hinter dem letzten Trennpaar');
  check(bin.segments.length === segments.length, 'ERDE.BIN: Zahl der Segmente');
  const text = eclgraphText.split('\r\n').map(Number);
  let t = 0;
  let maxBin = 0;
  let maxText = 0;
  bin.segments.forEach((seg, i) => {
    check(seg.points.length === segments[i].length, `ERDE.BIN: Punktzahl von Segment ${i}`);
    seg.points.forEach((p, k) => {
      const fromText = [(360 - text[t]) * DEG, text[t + 1] * DEG];
      t += 2;
      maxText = Math.max(maxText, deviation(p, fromText));
      maxBin = Math.max(maxBin, deviation(p, eastRadians(segments[i][k])));
    });
    check(text[t] >= 900 && text[t] !== 999, 'ECLGRAPH.DAT: Trennpaar nach jedem Segment');
    t += 2;
  });
  check(text[t] === 999 && text[t + 1] === 999, 'ECLGRAPH.DAT endet mit 999, 999');
  check(maxText <= ECLGRAPH_LIMIT, `ERDE.BIN und ECLGRAPH.DAT weichen ${maxText}° ab`);
  // Whichever file the program finds, it draws the same coastlines.
  let maxBetween = 0;
  decoded.segments.forEach((seg, i) => {
    seg.points.forEach((p, k) => (maxBetween = Math.max(maxBetween, deviation(p, bin.segments[i].points[k]))));
  });
  check(maxBetween <= COAST_LIMIT, `ERDE_0.BIN und ERDE.BIN weichen ${maxBetween}° ab`);
  check(maxBin <= COAST_LIMIT, `ERDE.BIN weicht ${maxBin}° ab`);
  const points = decoded.segments.reduce((s, seg) => s + seg.points.length, 0);
  return { points, maxCompact, maxBin, maxText, maxBetween };
}

function checkBorders(lines, bytes) {
  const decoded = fmt.readCompactFile('grenze_1.bin', bytes);
  check(!decoded.wordDeltas, 'grenze_1.bin hat Ein-Byte-Schritte');
  // Segments with the pen-up bit clear continue the line before them.
  const joined = [];
  for (const seg of decoded.segments) {
    check(seg.points.length - 1 <= fmt.MAX_COUNT, 'grenze_1.bin: höchstens 1023 Schritte');
    if (seg.penUp) joined.push([...seg.points]);
    else joined[joined.length - 1].push(...seg.points);
  }
  check(joined.length === lines.length, 'grenze_1.bin: Zahl der Linien');
  let max = 0;
  joined.forEach((points, i) => {
    check(points.length === lines[i].length, `grenze_1.bin: Punktzahl von Linie ${i}`);
    points.forEach((p, k) => {
      max = Math.max(max, deviation(p, [lines[i][k][0] * DEG, lines[i][k][1] * DEG]));
    });
  });
  check(max <= BORDER_LIMIT, `grenze_1.bin weicht ${max}° ab`);
  const points = joined.reduce((s, l) => s + l.length, 0);
  const longest = Math.max(...joined.map((l) => l.length));
  return { segments: decoded.segments.length, points, longest, max };
}

function pointInRing(lon, lat, ring) {
  let inside = false;
  for (let i = 0, j = ring.length - 1; i < ring.length; j = i++) {
    const [xi, yi] = ring[i];
    const [xj, yj] = ring[j];
    if (yi > lat !== yj > lat && lon < ((xj - xi) * (lat - yi)) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// Coastal cities may lie just off a 50 m outline; inland ones must be inside.
const COAST_SLACK = 0.15;

function distanceToCountry(lon, lat, rings) {
  let inside = false;
  let nearest = Infinity;
  for (const ring of rings) {
    if (pointInRing(lon, lat, ring)) inside = !inside;
    for (let i = 1; i < ring.length; i++) {
      const a = ring[i - 1];
      const b = ring[i];
      const dx = b[0] - a[0];
      const dy = b[1] - a[1];
      const len2 = dx * dx + dy * dy;
      const t = len2 > 0 ? Math.max(0, Math.min(1, ((lon - a[0]) * dx + (lat - a[1]) * dy) / len2)) : 0;
      nearest = Math.min(nearest, Math.hypot(lon - a[0] - t * dx, lat - a[1] - t * dy));
    }
  }
  return inside ? 0 : nearest;
}

function checkCities(bytes) {
  const text = bytes.toString('latin1');
  check(text.endsWith('\r\n') && !/[^\r]\n/.test(text), 'CITY.DAT hat CR LF');
  const lines = text.split('\r\n').slice(0, -1);
  let i = 0;
  while (i < lines.length && lines[i].startsWith('%')) i++;
  i++; // the reader skips the line after the comments too
  const cityLines = lines.slice(i);
  check(cityLines.length <= MAX_CITIES, `CITY.DAT: höchstens ${MAX_CITIES} Orte`);
  check(cityLines.length === CITIES.length, 'CITY.DAT: alle Orte werden gelesen');

  const countries = topojson.feature(countries50, countries50.objects.countries);
  const ringsOf = {};
  for (const f of countries.features) {
    const g = f.geometry;
    if (!g) continue;
    ringsOf[f.properties.name] = (g.type === 'Polygon' ? [g.coordinates] : g.coordinates).flat();
  }
  let worst = { name: '', distance: 0 };
  cityLines.forEach((line, k) => {
    const first = line.indexOf(',');
    const second = line.indexOf(',', first + 1);
    check(first > 0 && second > first, `CITY.DAT: Zeile ${line} hat zwei Kommas`);
    const name = line.slice(0, first);
    const lat = Number(line.slice(first + 1, second));
    const lon = Number(line.slice(second + 1));
    check(name.length <= MAX_NAME, `CITY.DAT: Name ${name} ist zu lang`);
    check(Math.abs(lat) <= 90 && Math.abs(lon) <= 180, `CITY.DAT: Koordinaten von ${name}`);
    const [, wantLat, wantLon, country] = CITIES[k];
    check(lat === wantLat && lon === wantLon, `CITY.DAT: ${name} wie in der Liste`);
    const names = Array.isArray(country) ? country : [country];
    const distance = Math.min(...names.map((c) => {
      check(ringsOf[c], `unbekanntes Land ${c}`);
      return distanceToCountry(lon, lat, ringsOf[c]);
    }));
    check(distance <= COAST_SLACK, `${name} liegt ${distance.toFixed(2)}° außerhalb von ${names.join('/')}`);
    if (distance > worst.distance) worst = { name, distance };
  });
  const seen = new Set();
  for (const [name] of CITIES) {
    check(!seen.has(name), `${name} doppelt`);
    seen.add(name);
  }
  return { cities: cityLines.length, worst };
}

// ------------------------------------------------------------------------ main

function main() {
  const outDir = path.resolve(process.argv[2] || path.join(__dirname, '..', '..', 'data'));
  fs.mkdirSync(outDir, { recursive: true });

  const coast = buildCoastlines();
  const borders = buildBorders();

  const files = {
    'ERDE_0.BIN': writeCompactCoastlines(coast.segments),
    'ECLGRAPH.DAT': fmt.writeEclgraph(coast.segments),
    'grenze_1.bin': writeBorders(borders.lines),
    'CITY.DAT': writeCities(),
  };
  files['ERDE.BIN'] = fmt.convertEclgraph(files['ECLGRAPH.DAT'].toString('latin1'));
  for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(outDir, name), bytes);

  // Check what is on disk, not what is in memory.
  const read = (name) => fs.readFileSync(path.join(outDir, name));
  const c = checkCoastlines(coast.segments, read('ERDE_0.BIN'), read('ERDE.BIN'), read('ECLGRAPH.DAT').toString('latin1'));
  const b = checkBorders(borders.lines, read('grenze_1.bin'));
  const t = checkCities(read('CITY.DAT'));

  const size = (name) => read(name).length;
  console.log(`Küsten: ${coast.rings} Ringe, ${coast.smallIslands} kleine Inseln weggelassen, ${coast.lines} Linien`);
  console.log(`  ERDE_0.BIN    ${size('ERDE_0.BIN')} Bytes, ${coast.segments.length} Segmente, ${c.points} Punkte, größte Abweichung ${c.maxCompact.toFixed(4)}°`);
  console.log(`  ERDE.BIN      ${size('ERDE.BIN')} Bytes, größte Abweichung ${c.maxBin.toFixed(5)}°, von ERDE_0.BIN ${c.maxBetween.toFixed(4)}°`);
  console.log(`  ECLGRAPH.DAT  ${size('ECLGRAPH.DAT')} Bytes, Abstand zu ERDE.BIN höchstens ${c.maxText.toFixed(5)}°`);
  console.log(`Grenzen: ${borders.meshLines} Linien aus Natural Earth, ${borders.lines.length} geschrieben`);
  console.log(`  grenze_1.bin  ${size('grenze_1.bin')} Bytes, ${b.segments} Segmente, ${b.points} Punkte (längste Linie ${b.longest}), größte Abweichung ${b.max.toFixed(4)}°`);
  console.log(`Orte: CITY.DAT ${size('CITY.DAT')} Bytes, ${t.cities} Orte, am weitesten vor der Küste: ${t.worst.name} (${t.worst.distance.toFixed(2)}°)`);
  console.log('Alle Prüfungen bestanden.');
}

main();

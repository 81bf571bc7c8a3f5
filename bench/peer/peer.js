// Times astronomy-engine on the instants that bench_astro's
// BM_ComputeSkyInstant steps through: from JD 2460440.5 (UT) on in steps of
// 0.1 h, for an observer at 54.3 N, 10.1 E. Per instant it computes what
// ComputeSkyInstant computes: the Sun's and the Moon's geocentric ecliptic
// positions of date with their distances, the sidereal time, and both
// bodies' azimuth and altitude.
//
//   node peer.js                    prints this library's figure as JSON
//   node peer.js bench_astro.json   also reads bench_astro's JSON output and
//                                   prints both figures and their ratio
'use strict';

const fs = require('fs');
const Astronomy = require('astronomy-engine');

const StartJD = 2460440.5;
const StepDays = 0.1 / 24;
const J2000 = 2451545.0;
const Instants = 20000;
const Repetitions = 7;
const observer = new Astronomy.Observer(54.3, 10.1, 0);

function SkyInstant(jd) {
  const time = Astronomy.MakeTime(jd - J2000); // days since J2000, UT
  const sun = Astronomy.SunPosition(time);
  const moon = Astronomy.EclipticGeoMoon(time);
  const theta = Astronomy.SiderealTime(time);
  const sunEq = Astronomy.Equator(Astronomy.Body.Sun, time, observer, true, true);
  const sunSky = Astronomy.Horizon(time, observer, sunEq.ra, sunEq.dec);
  const moonEq = Astronomy.Equator(Astronomy.Body.Moon, time, observer, true, true);
  const moonSky = Astronomy.Horizon(time, observer, moonEq.ra, moonEq.dec);
  return sun.elon + sun.elat + sun.vec.Length() + moon.lon + moon.lat + moon.dist + theta +
      sunSky.azimuth + sunSky.altitude + moonSky.azimuth + moonSky.altitude;
}

// Nanoseconds per instant over one pass through the instants.
function TimeOnePass() {
  let sum = 0;
  const start = process.hrtime.bigint();
  for (let i = 0; i < Instants; ++i) sum += SkyInstant(StartJD + i * StepDays);
  const end = process.hrtime.bigint();
  if (!Number.isFinite(sum)) throw new Error('astronomy-engine gave no finite result');
  return Number(end - start) / Instants;
}

// The version npm installed (the package does not export its package.json).
function InstalledVersion() {
  const file = require.resolve('astronomy-engine').replace(/astronomy\.js$/, 'package.json');
  return JSON.parse(fs.readFileSync(file, 'utf8')).version;
}

function Median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

TimeOnePass(); // lets the JIT compile everything first
const passes = [];
for (let r = 0; r < Repetitions; ++r) passes.push(TimeOnePass());
const peer = {
  library: 'astronomy-engine ' + InstalledVersion(),
  ns_per_instant_median: Median(passes),
  ns_per_instant_min: Math.min(...passes),
  instants: Instants,
  repetitions: Repetitions,
};

if (process.argv.length < 3) {
  console.log(JSON.stringify(peer, null, 2));
} else {
  // Google Benchmark's JSON: the median over the repetitions, in ns.
  const report = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
  const median = report.benchmarks.find(
      (b) => b.run_name === 'BM_ComputeSkyInstant' && b.aggregate_name === 'median');
  if (!median || median.time_unit !== 'ns') throw new Error('no median of BM_ComputeSkyInstant in ns');
  const ours = median.real_time;
  console.log(`Lunotrop ComputeSkyInstant:  ${ours.toFixed(0)} ns per instant (median)`);
  console.log(`${peer.library}:  ${peer.ns_per_instant_median.toFixed(0)} ns per instant (median)`);
  console.log(`ratio:  ${(peer.ns_per_instant_median / ours).toFixed(2)} (astronomy-engine / Lunotrop)`);
}

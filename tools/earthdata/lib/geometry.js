'use strict';
// Plane geometry on longitude/latitude in degrees: cleaning, Douglas–Peucker
// simplification, densifying and cutting polylines into file segments.

function wrap180(d) {
  while (d > 180) d -= 360;
  while (d < -180) d += 360;
  return d;
}

function samePoint(a, b) {
  return a[0] === b[0] && a[1] === b[1];
}

function withoutRepeats(points) {
  return points.filter((p, i) => i === 0 || !samePoint(p, points[i - 1]));
}

// Splits a closed ring into the runs left when the edges for which
// dropEdge(p, q) holds are taken out. A ring without such edges stays one
// closed polyline (its last point on its first).
function cutRing(ring, dropEdge) {
  const n = ring.length - 1; // the last point repeats the first
  let start = -1;
  for (let i = 0; i < n; i++) {
    if (dropEdge(ring[i], ring[i + 1])) {
      start = i + 1;
      break;
    }
  }
  if (start < 0) return [ring.slice()];
  // Walk once round the ring from just after a dropped edge, so that a run
  // through the ring's first point is not broken in two.
  const runs = [];
  let run = [ring[start % n]];
  for (let k = 0; k < n; k++) {
    const i = (start + k) % n;
    const p = ring[i];
    const q = ring[(i + 1) % n];
    if (dropEdge(p, q)) {
      if (run.length >= 2) runs.push(run);
      run = [q];
    } else {
      run.push(q);
    }
  }
  if (run.length >= 2) runs.push(run);
  return runs;
}

function distanceToSegment(p, a, b) {
  const dx = b[0] - a[0];
  const dy = b[1] - a[1];
  const len2 = dx * dx + dy * dy;
  let t = len2 > 0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / len2 : 0;
  t = Math.max(0, Math.min(1, t));
  return Math.hypot(p[0] - (a[0] + t * dx), p[1] - (a[1] + t * dy));
}

// Douglas–Peucker: keeps the end points and every point needed so that no
// dropped point lies farther than `tolerance` degrees from the kept line.
// A closed ring works too: its first span is the degenerate one from the first
// point to itself, so the farthest point from the start is kept first.
function simplify(points, tolerance) {
  if (points.length <= 2) return points.slice();
  const keep = new Uint8Array(points.length);
  keep[0] = keep[points.length - 1] = 1;
  const stack = [[0, points.length - 1]];
  while (stack.length > 0) {
    const [first, last] = stack.pop();
    let worst = -1;
    let worstDistance = tolerance;
    for (let i = first + 1; i < last; i++) {
      const d = distanceToSegment(points[i], points[first], points[last]);
      if (d > worstDistance) {
        worst = i;
        worstDistance = d;
      }
    }
    if (worst >= 0) {
      keep[worst] = 1;
      stack.push([worst, last], [first, worst]);
    }
  }
  return points.filter((_, i) => keep[i]);
}

// The larger side of a ring's bounding box in degrees of arc: the longitude
// side shrinks with the cosine of the middle latitude, so Arctic islets are
// measured by their true size.
function extent(points) {
  let minLon = Infinity, maxLon = -Infinity, minLat = Infinity, maxLat = -Infinity;
  for (const [lon, lat] of points) {
    minLon = Math.min(minLon, lon);
    maxLon = Math.max(maxLon, lon);
    minLat = Math.min(minLat, lat);
    maxLat = Math.max(maxLat, lat);
  }
  const midLat = ((minLat + maxLat) / 2) * (Math.PI / 180);
  return Math.max((maxLon - minLon) * Math.cos(midLat), maxLat - minLat);
}

// Inserts evenly spaced points on every edge whose step leaves the range a
// file's deltas can carry. Longitude steps go the short way round.
function densify(points, limits) {
  const out = [points[0]];
  for (let i = 1; i < points.length; i++) {
    const [lon0, lat0] = points[i - 1];
    const dLon = wrap180(points[i][0] - lon0);
    const dLat = points[i][1] - lat0;
    const parts = Math.max(
      1,
      Math.ceil(dLon > 0 ? dLon / limits.lonMax : dLon / limits.lonMin),
      Math.ceil(dLat > 0 ? dLat / limits.latMax : dLat / limits.latMin),
    );
    for (let k = 1; k < parts; k++) {
      out.push([wrap180(lon0 + (dLon * k) / parts), lat0 + (dLat * k) / parts]);
    }
    out.push(points[i]);
  }
  return out;
}

// Index ranges [first, last] of at most maxDeltas steps each, of nearly equal
// length. With shareJoints the next piece starts on the last point of the one
// before (separate polylines); without, on the point after it (a continuation
// that the drawing joins to the piece before).
function pieces(pointCount, maxDeltas, shareJoints) {
  // Shared joints: cut the steps between points; otherwise cut the points.
  const units = shareJoints ? pointCount - 1 : pointCount;
  const count = Math.max(1, Math.ceil(units / (maxDeltas + (shareJoints ? 0 : 1))));
  const result = [];
  let first = 0;
  for (let k = 0; k < count; k++) {
    const end = Math.round(((k + 1) * units) / count);
    const last = shareJoints ? end : end - 1;
    result.push([first, last]);
    first = shareJoints ? last : last + 1;
  }
  return result;
}

module.exports = { wrap180, withoutRepeats, cutRing, simplify, extent, densify, pieces };

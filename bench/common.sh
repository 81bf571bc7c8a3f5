# Shared by the end-to-end scripts in bench/: sourced, not run.

# The parameter file of the measured states: Kiel, 16.12.2026, 15.30 MEZ,
# steps of 0.05 h, the delay DELAY (default 30 ms).
parameters() { # view equator ecliptic
  printf '%s * Darstellung\r\n54.3\r\n10.1\r\n16.12.2026\r\n15.30\r\n0.05\r\n%s\r\n0\r\n30\r\n%s\r\n%s\r\nj\r\n' "$1" "${DELAY:-30}" "$2" "$3"
}

median() { # numbers on standard input -> their median
  sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

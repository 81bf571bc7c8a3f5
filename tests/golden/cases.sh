# The golden cases: one line each,
#   name  kind  view lat lon date time step azimuth equator ecliptic  [options]
# kind is render (lunotrop --render) or table (lunotrop --ephemeris); view p
# is the inside view, b the outside view. Keys go through --keys=..., one
# tick each after the start, before the --steps.
# shellcheck disable=SC2034
GoldenCases=(
  # The inside view: places, times of day, sizes, lines, keys.
  "innen-kiel             render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n"
  "innen-kiel-schritte    render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --steps 40"
  "innen-kiel-linien      render p 54.3  10.1  16.12.2026 15.30 0.30 0   j j --steps 5"
  "innen-nacht            render p 54.3  10.1  2.1.2026   23.00 0.10 0   j n --steps 3"
  "innen-daemmerung       render p 54.3  10.1  16.12.2026 16.45 0.05 0   n j --steps 2"
  "innen-kapstadt         render p -33.9 18.4  20.3.2026  18.00 0.20 180 j j --steps 4"
  "innen-aequator         render p 0     0     21.6.2026  6.00  0.30 0   j j --steps 3"
  "innen-nordpol          render p 90    0     21.6.2026  12.00 1.00 0   j j --steps 2"
  "innen-suedpol          render p -90   0     21.12.2026 12.00 1.00 180 j j --steps 2"
  "innen-westen           render p 54.3  10.1  25.12.2026 17.00 0.10 90  n n --steps 3"
  "innen-klein            render p 54.3  10.1  16.12.2026 15.30 0.05 0   j j --size 1024x768 --steps 3"
  "innen-1280             render p 48.1  11.6  1.5.2026   20.00 0.10 0   n j --size 1280x800 --steps 3"
  "innen-groesser         render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=>>> --steps 2"
  "innen-kleiner          render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=<<< --steps 2"
  "innen-visierlinien     render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=l"
  "innen-visier-weiter    render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=l --steps 3"
  "innen-hilfe            render p 54.3  10.1  16.12.2026 15.30 0.05 0   j n --keys={F1}"
  "innen-hilfe-weiter     render p 54.3  10.1  16.12.2026 15.30 0.05 0   j n --keys={F1}x --steps 2"
  "innen-hin-und-zurueck  render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=dd --steps 2"
  "innen-rueckwaerts      render p 54.3  10.1  16.12.2026 15.30 0.30 0   n n --keys=- --steps 6"
  "innen-schritt-doppelt  render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=**/ --steps 5"
  "innen-perspektive      render p 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=h --steps 1"
  "innen-aequatornetz     render p 54.3  10.1  16.12.2026 21.00 0.10 180 n n --keys=a --steps 2"
  "innen-wie-beobachtet   render p 54.3  10.1  16.12.2026 15.45 0.05 0   n n --keys=t --steps 1"
  # The outside view: the three perspectives, tilt, sizes, places, keys.
  "aussen-start           render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n"
  "aussen-schritte        render b 54.3  10.1  16.12.2026 15.30 1.00 0   n n --steps 30"
  "aussen-p1              render b 54.3  10.1  16.12.2026 15.30 0.30 0   n n --perspective 1 --steps 5"
  "aussen-p2              render b 54.3  10.1  16.12.2026 15.30 0.30 0   n n --perspective 2 --steps 5"
  "aussen-p2-abend        render b 54.3  10.1  16.12.2026 15.30 0.10 0   n n --perspective 2 --steps 12"
  "aussen-kippen-hoch     render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys={hoch}{hoch} --steps 2"
  "aussen-kippen-runter   render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --perspective 1 --keys={runter} --steps 1"
  "aussen-kippen-p2       render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --perspective 2 --keys={hoch}"
  "aussen-groesser        render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=x>> --steps 2"
  "aussen-kleiner         render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=x<<< --steps 2"
  "aussen-kapstadt-p1     render b -33.9 18.4  20.3.2026  18.00 0.30 0   n n --perspective 1 --steps 3"
  "aussen-kapstadt-p2     render b -33.9 18.4  20.3.2026  18.00 0.30 0   n n --perspective 2 --steps 3"
  "aussen-aequator-p1     render b 0     0     21.6.2026  6.00  0.30 0   n n --perspective 1 --steps 2"
  "aussen-nordpol-p2      render b 90    0     21.6.2026  12.00 1.00 0   n n --perspective 2 --steps 2"
  "aussen-klein           render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --size 1024x768"
  "aussen-klein-p2        render b 54.3  10.1  16.12.2026 15.30 0.30 0   n n --size 1024x768 --perspective 2 --steps 3"
  "aussen-hilfe           render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=x{F1}"
  "aussen-hilfe-weiter    render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=x{F1}x --steps 1"
  "aussen-nach-innen      render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=xd --steps 2"
  "aussen-rundum          render b 54.3  10.1  16.12.2026 15.30 0.05 0   n n --keys=hhh --steps 2"
  # Tables.
  "tabelle-kiel           table  p 54.3  10.1  16.12.2026 15.30 1.00 0   n n --count 200"
  "tabelle-kapstadt       table  b -33.9 18.4  1.1.2024   0.00  24.00 0  n n --count 400"
  "tabelle-grenzen        table  p 89.9  -179  1.1.-4712  12.00 8760.00 0 n n --count 60"
)

# These cases are also stored as PNG in pictures/.
KeptAsPicture=(innen-kiel-linien innen-hilfe innen-aequatornetz aussen-p1 aussen-p2-abend aussen-klein)

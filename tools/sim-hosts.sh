#!/usr/bin/env bash
# CMake arguments that point every deployment host at the local platform simulator.
port=${DUSK_SIM_PORT:-18473}
for h in OFFICIAL MAIN PAY FORUM LOG CS; do
  printf -- '-DDUSK_%s_HOST=127.0.0.1:%s ' "$h" "$port"
done
echo

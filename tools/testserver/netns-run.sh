#!/bin/sh
# Runs a command in a private network and mount namespace: loopback only, so
# servers can take ports 80 and 443, nothing leaves the machine and parallel
# runs do not collide. When CA_CERT names a certificate, the host's CA bundle
# is replaced, inside the namespace only, by a copy with that certificate
# appended (Wine reads its trusted roots from that bundle at process start).
# Usage: [CA_CERT=ca.crt] netns-run.sh COMMAND [ARGS...]
# Inside, /tmp/.X11-unix is private too.
set -e
exec unshare -m -n sh -c '
  set -e
  ip link set lo up
  # X servers started in here get sockets of their own, so they can never
  # replace the socket files of a display outside.
  mkdir -p /tmp/.X11-unix
  mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
  if [ -n "$CA_CERT" ]; then
    bundle=/etc/ssl/certs/ca-certificates.crt
    tmp=$(mktemp)
    cat "$bundle" "$CA_CERT" > "$tmp"
    mount --bind "$tmp" "$bundle"
  fi
  exec "$@"
' netns-run "$@"

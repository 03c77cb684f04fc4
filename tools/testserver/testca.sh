#!/bin/sh
# Makes a throw-away test CA and a server certificate for "localhost" (and
# 127.0.0.1) signed by it, in OUTDIR: ca.crt ca.key server.crt server.key.
# A second, untrusted CA signs untrusted.crt/untrusted.key for tests that must
# see a certificate fail. Nothing here touches the host's trust store.
set -e
out=${1:?usage: testca.sh OUTDIR}
mkdir -p "$out"
cd "$out"
[ -f server.crt ] && [ -f untrusted.crt ] && exit 0
cat > san.cnf <<CNF
[req]
distinguished_name = dn
[dn]
[ext]
subjectAltName = DNS:localhost,IP:127.0.0.1
basicConstraints = CA:FALSE
keyUsage = digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
CNF
mk_ca() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=$2" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$1.key" -out "$1.crt" 2>/dev/null
}
mk_leaf() {
  openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout "$1.key" -out "$1.csr" 2>/dev/null
  openssl x509 -req -in "$1.csr" -CA "$2.crt" -CAkey "$2.key" -CAcreateserial -days 30 \
    -extfile san.cnf -extensions ext -out "$1.crt" 2>/dev/null
}
mk_ca ca "Norlet Test CA"
mk_leaf server ca
mk_ca rogue "Untrusted Test CA"
mk_leaf untrusted rogue

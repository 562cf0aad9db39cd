#!/usr/bin/env bash
# Makes a throw-away certificate authority and a server certificate it signs
# for 127.0.0.1 and lumicue.example, in the folder given: ca.pem,
# server.pem, server.key. Also a self-signed certificate nobody trusts:
# rogue.pem, rogue.key.
set -euo pipefail
cd "$1"
quiet() { "$@" >/dev/null 2>&1; }
quiet openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lumicue Test CA" \
    -keyout ca.key -out ca.pem -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=keyCertSign"
quiet openssl req -newkey rsa:2048 -nodes -subj "/CN=lumicue.example" -keyout server.key -out server.csr
printf 'subjectAltName=DNS:lumicue.example,IP:127.0.0.1\nbasicConstraints=CA:FALSE\n' > server.ext
quiet openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile server.ext -out server.pem
quiet openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
    -addext "subjectAltName=DNS:lumicue.example,IP:127.0.0.1" -keyout rogue.key -out rogue.pem

#!/bin/sh
# Makes the tests' certificate authority (ca.der, for the test prefix's trusted
# roots) and a server certificate for 127.0.0.1 signed by it (server.pem, key
# included, for the loopback server's TLS front).
#
#   make_test_certificates.sh <openssl> <folder>
set -eu
openssl="$1"
cd "$2"
"$openssl" req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 3650 \
  -subj "/CN=Horavel test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
"$openssl" req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1" 2>/dev/null
# Wine matches the host against the certificate's names as text.
printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >server.ext
"$openssl" x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 -extfile server.ext \
  -out server.crt 2>/dev/null
cat server.crt server.key >server.pem
"$openssl" x509 -in ca.pem -outform der -out ca.der

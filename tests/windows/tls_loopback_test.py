#!/usr/bin/env python3
"""The Windows TLS channel (Schannel) against a TLS peer on loopback: qget.exe runs under Wine
against a peer of this script's own (Python's ssl module, OpenSSL underneath) and must print
exactly the line the Linux client prints for the same exchange.

usage: tls_loopback_test.py QGET_EXE CASE
CASE: tls1 | tls1_1 | tls1_2 | tls1_3   the peer speaks only that version and answers "A042"
      cut-handshake                     the peer closes as soon as the client's hello arrives
      no-close-notify                   the peer answers, then closes without a close notification
                                        (a cut-off session to both clients)
Exit status 0 when the line matches, 1 when not, 77 (skipped) when the system's TLS refuses a
version it does not offer (Wine 8 has no TLS 1.3).
"""
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import warnings

# The test asks for the old versions on purpose.
warnings.filterwarnings("ignore", category=DeprecationWarning)

# Every wait of this test is bounded: the peer's accept and reads, and the client's run.
PEER_TIMEOUT_S = 30
CLIENT_TIMEOUT_S = 60
SKIPPED = 77

ANSWER = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nA042"
ANSWER_LINE = '{"ok":true,"answer":"A042"}'
EOF_LINE = ('{"ok":false,"kind":"ssl-handshake","message":"Error connecting with SSL.'
            '\\u000D\\u000AEOF was observed that violates the protocol","box":"Error connecting'
            ' with SSL.\\u000D\\u000AEOF was observed that violates the protocol."}')
# A close without the close notification is a cut-off session, even after a whole answer.
CUT_LINE = ('{"ok":false,"kind":"ssl-library","message":"EOF was observed that violates the'
            ' protocol","box":"EOF was observed that violates the protocol."}')
VERSIONS = {
    "tls1": ssl.TLSVersion.TLSv1,
    "tls1_1": ssl.TLSVersion.TLSv1_1,
    "tls1_2": ssl.TLSVersion.TLSv1_2,
    "tls1_3": ssl.TLSVersion.TLSv1_3,
}


def self_signed_context(directory, version):
    """A server context with a fresh self-signed certificate (the client verifies none)."""
    key = os.path.join(directory, "key.pem")
    cert = os.path.join(directory, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-subj", "/CN=localhost", "-days", "1"],
                   check=True, capture_output=True, timeout=PEER_TIMEOUT_S)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    # The oldest versions need the old ciphers back.
    context.set_ciphers("DEFAULT@SECLEVEL=0")
    if version is not None:
        context.minimum_version = version
        context.maximum_version = version
    return context


def read_request(connection):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = connection.recv(4096)
        if not chunk:
            break
        data += chunk


def serve_one(listener, case, context):
    connection, _ = listener.accept()
    connection.settimeout(PEER_TIMEOUT_S)
    try:
        if case == "cut-handshake":
            connection.recv(4096)  # the client's hello
            return
        tls = context.wrap_socket(connection, server_side=True)
        read_request(tls)
        tls.sendall(ANSWER)
        if case == "no-close-notify":
            return  # the socket closes below, without the close notification
        tls.unwrap()  # sends the close notification
    except (OSError, ssl.SSLError):
        pass  # a client that refused the version or went away: its output tells
    finally:
        connection.close()


def main():
    qget, case = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as directory:
        context = None if case == "cut-handshake" else self_signed_context(
            directory, VERSIONS.get(case))
        listener = socket.create_server(("127.0.0.1", 0))
        listener.settimeout(PEER_TIMEOUT_S)
        port = listener.getsockname()[1]
        peer = threading.Thread(target=serve_one, args=(listener, case, context), daemon=True)
        peer.start()
        runner = ["wine"] if qget.endswith(".exe") else []  # the Linux qget runs as it is
        run = subprocess.run(runner + [qget, f"https://127.0.0.1:{port}/ticket"],
                             capture_output=True, text=True, timeout=CLIENT_TIMEOUT_S)
        peer.join(PEER_TIMEOUT_S)
        listener.close()
    line = run.stdout.strip()
    expected = {"cut-handshake": EOF_LINE, "no-close-notify": CUT_LINE}.get(case, ANSWER_LINE)
    print(f"{case}: {line}")
    if line == expected:
        return 0
    if case == "tls1_3" and '"kind":"ssl-handshake"' in line and "Security status" in line:
        print("skipped: the system's TLS does not offer TLS 1.3")
        return SKIPPED
    print(f"expected: {expected}")
    return 1


if __name__ == "__main__":
    sys.exit(main())

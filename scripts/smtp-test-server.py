#!/usr/bin/python3
# A real SMTP server on 127.0.0.1 for the tests (aiosmtpd, Debian's
# python3-aiosmtpd): every message it accepts is saved as FOLDER/NNNNNN.eml,
# exactly as received, beside NNNNNN.json with its envelope (sender and
# recipients). Recipients whose address starts with "rifiuta" are refused
# with 550, as a server refuses an unknown user; those starting with
# "rinvia" get a temporary 451 the first time the server sees them, and are
# accepted afterwards, as a server that was busy for a while.
#   smtp-test-server.py FOLDER PORTFILE
# Writes the port it listens on into PORTFILE once it accepts connections,
# and runs until it is terminated.
import json
import os
import signal
import socket
import sys
import threading

from aiosmtpd.controller import Controller


class Salva:
    def __init__(self, cartella):
        self.cartella = cartella
        self.numero = 0
        self.blocco = threading.Lock()
        self.rinviati = set()

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("rifiuta"):
            return "550 5.1.1 <%s>: Recipient address rejected: User unknown" % address
        if address.lower().startswith("rinvia") and address.lower() not in self.rinviati:
            self.rinviati.add(address.lower())
            return "451 4.3.0 <%s>: Temporary failure, try again later" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with self.blocco:
            self.numero += 1
            base = os.path.join(self.cartella, "%06d" % self.numero)
        with open(base + ".json.tmp", "w") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos}, f)
        os.rename(base + ".json.tmp", base + ".json")
        with open(base + ".eml.tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".eml.tmp", base + ".eml")
        return "250 Message accepted for delivery"


def porta_libera():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    p = s.getsockname()[1]
    s.close()
    return p


def main():
    cartella, file_porta = sys.argv[1], sys.argv[2]
    os.makedirs(cartella, exist_ok=True)
    for tentativo in range(20):
        porta = porta_libera()
        controller = Controller(Salva(cartella), hostname="127.0.0.1", port=porta,
                                data_size_limit=200 * 1024 * 1024)
        try:
            controller.start()
            break
        except Exception:
            continue
    else:
        sys.exit("smtp-test-server: no free port")
    with open(file_porta + ".tmp", "w") as f:
        f.write(str(porta))
    os.rename(file_porta + ".tmp", file_porta)
    fine = threading.Event()
    signal.signal(signal.SIGTERM, lambda *a: fine.set())
    signal.signal(signal.SIGINT, lambda *a: fine.set())
    fine.wait()
    controller.stop()


if __name__ == "__main__":
    main()

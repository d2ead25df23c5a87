#!/usr/bin/python3
"""A loopback SMTP server for the mailer's tests and for scripts/demo.

  smtp_sink.py FOLDER [--port N] [--auth none|offered|required] [--watch-parent]

Prints its port and process id. Keeps each message in FOLDER as NNNN.eml (as received) and
NNNN.txt (what a mail reader makes of it), refuses recipients "reject...", offers (or requires)
PLAIN and LOGIN for the user "alerts" (password "secret") without TLS. Ends on SIGTERM and when
its stdin closes (or, with --watch-parent, its parent ends); SIGINT is for the program it serves.
"""

import argparse
import asyncio
import ctypes
import email
import email.policy
import logging
import os
import re
import signal
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def summarise(raw, envelope, session):
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    login = "none"
    if session.authenticated and isinstance(session.auth_data, LoginPassword):
        login = session.auth_data.login.decode("utf-8", "replace")
    lines = ["MAIL FROM: " + envelope.mail_from, "RCPT TO: " + ", ".join(envelope.rcpt_tos),
             "login: " + login]
    for name, value in msg.items():
        if name.lower() == "date":
            value = "(set)"
        elif name.lower() == "message-id":
            value = re.sub(r"<[^@]*@", "<(id)@", str(value))
        elif name.lower().startswith("content-") or name.lower() == "mime-version":
            continue
        lines.append("%s: %s" % (name, value))
    body = msg.get_body(preferencelist=("plain",))
    if body is not None:
        lines.append("text (%s): %r" % (body.get_content_charset(), body.get_content()))
    defects = [type(d).__name__ for part in msg.walk() for d in part.defects]
    lines.append("defects: " + (", ".join(defects) or "none"))
    out = ("\n".join(lines) + "\n").encode("utf-8")
    for part in msg.iter_attachments():
        out += ("attachment %s (%s, %s):\n" % (part.get_filename(), part.get_content_type(),
                                               part.get_param("charset"))).encode("utf-8")
        out += part.get_payload(decode=True) + b"\n"
    return out


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("reject"):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        stem = os.path.join(self.folder, "%04d" % self.count)
        raw = envelope.original_content or envelope.content
        with open(stem + ".eml", "wb") as f:
            f.write(raw)
        with open(stem + ".txt", "wb") as f:  # written before the client hears "250"
            f.write(summarise(raw, envelope, session))
        return "250 OK stored"


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data == (b"alerts", b"secret")
    return AuthResult(success=ok, handled=False, auth_data=auth_data)


parser = argparse.ArgumentParser()
parser.add_argument("folder")
parser.add_argument("--port", type=int, default=0)
parser.add_argument("--auth", choices=["none", "offered", "required"], default="none")
parser.add_argument("--watch-parent", action="store_true")
args = parser.parse_args()

warnings.filterwarnings("ignore")
logging.getLogger("mail.log").setLevel(logging.CRITICAL)

options = {}
if args.auth != "none":
    options = {"auth_require_tls": False, "auth_required": args.auth == "required",
               "authenticator": authenticate}
store = Store(args.folder)
loop = asyncio.new_event_loop()
asyncio.set_event_loop(loop)
server = loop.run_until_complete(
    loop.create_server(lambda: SMTP(store, hostname="sink.test", **options),
                       host="127.0.0.1", port=args.port))
if args.watch_parent:
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
else:
    loop.add_reader(sys.stdin.fileno(),
                    lambda: os.read(sys.stdin.fileno(), 4096) or loop.stop())
loop.add_signal_handler(signal.SIGTERM, loop.stop)
loop.add_signal_handler(signal.SIGINT, lambda: None)
print(server.sockets[0].getsockname()[1], os.getpid(), flush=True)
loop.run_forever()
server.close()


#!/usr/bin/python3
"""A loopback SMTP server for the mailer's tests and for scripts/demo.

Listens on 127.0.0.1 on a free port (or on --port) and prints that port on stdout, one line.
Every message received is stored in FOLDER as NNNN.eml (the bytes as received) and NNNN.json
(what a mail reader makes of it: envelope, login, decoded headers, text body, attachments,
defects). The .json file appears after the .eml one and complete, so a reader seeing it may
read both.

Recipients whose local part starts with "reject" are refused with 550.

Ends on SIGTERM or when its stdin closes (so it never outlives the test that started it);
Ctrl-C in the terminal is for the program it serves, so SIGINT is ignored.

  smtp_sink.py FOLDER [--port N] [--auth none|offered|required] [--user U] [--password P]

--port N:        listen on this port (one that is taken ends the server)

--auth none:     no AUTH in the EHLO answer (the default)
--auth offered:  AUTH PLAIN and LOGIN offered without TLS, not required
--auth required: as offered, and MAIL is refused until the client has logged in
"""

import argparse
import asyncio
import base64
import email
import email.policy
import json
import logging
import os
import signal
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def summarise(raw, envelope, session):
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    headers = {}
    for name, value in msg.items():
        headers.setdefault(name.lower(), []).append(str(value))
    body_part = msg.get_body(preferencelist=("plain",))
    body = body_part.get_content() if body_part is not None else None
    attachments = []
    for part in msg.iter_attachments():
        attachments.append({
            "filename": part.get_filename(),
            "content_type": part.get_content_type(),
            "charset": part.get_param("charset"),
            "data_base64": base64.b64encode(part.get_payload(decode=True)).decode("ascii"),
        })
    defects = [type(d).__name__ for d in msg.defects]
    for part in msg.walk():
        if part is not msg:
            defects.extend(type(d).__name__ for d in part.defects)
    login = None
    if isinstance(session.auth_data, LoginPassword):
        login = session.auth_data.login.decode("utf-8", "replace")
    return {
        "mail_from": envelope.mail_from,
        "rcpt_tos": list(envelope.rcpt_tos),
        "authenticated": bool(session.authenticated),
        "login": login,
        "headers": headers,
        "body_charset": body_part.get_content_charset() if body_part is not None else None,
        "body": body,
        "attachments": attachments,
        "defects": defects,
    }


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
        summary = summarise(raw, envelope, session)
        with open(stem + ".json.tmp", "w", encoding="utf-8") as f:
            json.dump(summary, f, ensure_ascii=False, indent=1)
        os.rename(stem + ".json.tmp", stem + ".json")
        return "250 OK stored"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--auth", choices=["none", "offered", "required"], default="none")
    parser.add_argument("--user", default="alerts")
    parser.add_argument("--password", default="secret")
    args = parser.parse_args()

    warnings.filterwarnings("ignore")
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and
              auth_data.login == args.user.encode() and
              auth_data.password == args.password.encode())
        return AuthResult(success=ok, handled=False, auth_data=auth_data)

    options = {}
    if args.auth != "none":
        options = {
            "auth_require_tls": False,
            "auth_required": args.auth == "required",
            "authenticator": authenticate,
        }
    store = Store(args.folder)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(lambda: SMTP(store, hostname="sink.test", **options),
                           host="127.0.0.1", port=args.port))

    def on_stdin():
        if not os.read(sys.stdin.fileno(), 4096):
            loop.stop()

    loop.add_reader(sys.stdin.fileno(), on_stdin)
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    loop.add_signal_handler(signal.SIGINT, lambda: None)
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    main()

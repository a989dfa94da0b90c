"""The outgoing server of the mail tests: aiosmtpd on 127.0.0.1 requiring AUTH, with STARTTLS
on one port and TLS from the first byte on another, and on a third port a relay that offers
neither AUTH nor TLS, as on a LAN. Every mail is kept byte for byte as received in the Maildir
given, so the tests see exactly what the client sent.

usage: smtp_server.py PORT TLS_PORT RELAY_PORT CERT KEY MAILDIR PASSWORD

Like the incoming server, it takes any user with the right password.
"""
import os
import pwd
import signal
import ssl
import sys
import time
import uuid
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

port, tls_port, relay_port, cert, key, maildir, password = sys.argv[1:]


class KeepRaw:
    async def handle_DATA(self, server, session, envelope):
        name = f"{time.time_ns()}.{uuid.uuid4().hex}.kestrum"
        temporary = os.path.join(maildir, "tmp", name)
        with open(temporary, "wb") as out:
            out.write(envelope.original_content)
        os.rename(temporary, os.path.join(maildir, "new", name))
        return "250 OK"


def authenticate(server, session, envelope, mechanism, auth_data):
    accepted = (isinstance(auth_data, LoginPassword)
                and auth_data.password == password.encode())
    # handled=False: aiosmtpd answers a refusal with 535 only when told it has not answered.
    return AuthResult(success=accepted, handled=False)


warnings.simplefilter("ignore", DeprecationWarning)
# A context usable on both sides: the controller checks its own listener with it.
context = ssl.SSLContext(ssl.PROTOCOL_TLS)
context.check_hostname = False
context.verify_mode = ssl.CERT_NONE
context.load_cert_chain(cert, key)

common = dict(authenticator=authenticate, auth_require_tls=False, auth_required=True)
starttls = Controller(KeepRaw(), hostname="127.0.0.1", port=int(port), tls_context=context,
                      **common)
implicit = Controller(KeepRaw(), hostname="127.0.0.1", port=int(tls_port), ssl_context=context,
                      **common)
relay = Controller(KeepRaw(), hostname="127.0.0.1", port=int(relay_port))
starttls.start()
implicit.start()
relay.start()
if os.getuid() == 0:
    nobody = pwd.getpwnam("nobody")
    os.setgid(nobody.pw_gid)
    os.setuid(nobody.pw_uid)
print("ready", flush=True)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
while True:
    signal.pause()

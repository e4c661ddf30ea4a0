#!/usr/bin/env python3
"""Authenticode signing of the release files with osslsigncode.

The certificate is named by the environment, so that no build file holds
where a school keeps its key:

  REREVURE_SIGN_PFX            a PKCS#12 (.pfx) file with the key and its chain
  REREVURE_SIGN_PKCS11_MODULE  or a PKCS#11 module (a token or HSM) ...
  REREVURE_SIGN_PKCS11_KEY     ... the key's PKCS#11 URI on it ...
  REREVURE_SIGN_CERTS          ... and the certificate chain (PEM) of that key
  REREVURE_SIGN_PASSWORD_FILE  the PFX password or token PIN, read from a file
                               so that it shows in no process list (optional)
  REREVURE_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server (optional)

Without a time-stamp server the signature carries SOURCE_DATE_EPOCH as its
signing time, so that a signed release is as repeatable as an unsigned one
with the same certificate; a time-stamped signature is not (the server's
answer differs each time) but stays valid after the certificate expires.

Usage: signing.py FILE [--keep COPY]
  Signs FILE in place when the environment names a certificate, and does
  nothing otherwise. --keep also copies the result to COPY (the installer
  builder keeps the uninstaller it packs this way, for checking).
"""

import argparse
import os
import shutil
import subprocess
import sys

# Shown by Windows (UAC, SmartScreen) as the signed program's name.
DESCRIPTION = "Rerevure"
OSSLSIGNCODE = "osslsigncode"


class SigningError(RuntimeError):
    pass


def source_date_epoch(env=None):
    """The release's time: SOURCE_DATE_EPOCH, else None."""
    value = (os.environ if env is None else env).get("SOURCE_DATE_EPOCH", "").strip()
    if not value:
        return None
    if not value.isdigit():
        raise SigningError("SOURCE_DATE_EPOCH is not a number of seconds: %r" % value)
    return int(value)


def signer_arguments(env=None):
    """osslsigncode's certificate arguments named by the environment, or None.

    A certificate named by halves (a module without a key, a password file
    that does not exist) is an error, never an unsigned release."""
    env = os.environ if env is None else env

    def file_of(name):
        path = env.get(name, "")
        if path and not os.path.isfile(path):
            raise SigningError("%s names no file: %s" % (name, path))
        return path

    pfx = file_of("REREVURE_SIGN_PFX")
    module = file_of("REREVURE_SIGN_PKCS11_MODULE")
    key = env.get("REREVURE_SIGN_PKCS11_KEY", "")
    certs = file_of("REREVURE_SIGN_CERTS")
    password = file_of("REREVURE_SIGN_PASSWORD_FILE")
    if pfx and module:
        raise SigningError("name either REREVURE_SIGN_PFX or REREVURE_SIGN_PKCS11_MODULE, not both")
    if pfx:
        args = ["-pkcs12", pfx]
    elif module:
        if not key or not certs:
            raise SigningError("a PKCS#11 module needs REREVURE_SIGN_PKCS11_KEY and "
                               "REREVURE_SIGN_CERTS")
        args = ["-pkcs11module", module, "-key", key, "-certs", certs]
    elif key or certs:
        raise SigningError("REREVURE_SIGN_PKCS11_KEY and REREVURE_SIGN_CERTS need "
                           "REREVURE_SIGN_PKCS11_MODULE")
    else:
        return None
    if password:
        args += ["-readpass", password]
    args += ["-h", "sha256", "-n", DESCRIPTION]
    timestamp = env.get("REREVURE_SIGN_TIMESTAMP_URL", "")
    if timestamp:
        args += ["-ts", timestamp]
    else:
        epoch = source_date_epoch(env)
        if epoch is not None:
            args += ["-time", str(epoch)]
    return args


def sign(path, arguments, osslsigncode=OSSLSIGNCODE):
    """Signs path in place; the file is replaced only by a signed one."""
    signed = path + ".signed"
    result = subprocess.run([osslsigncode, "sign"] + arguments + ["-in", path, "-out", signed],
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, universal_newlines=True)
    if result.returncode != 0:
        if os.path.exists(signed):
            os.remove(signed)
        raise SigningError("osslsigncode could not sign %s:\n%s" % (path, result.stdout))
    os.replace(signed, path)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("file")
    parser.add_argument("--keep")
    args = parser.parse_args(argv)
    try:
        arguments = signer_arguments()
        if arguments is not None:
            sign(args.file, arguments)
    except SigningError as error:
        sys.stderr.write("signing: %s\n" % error)
        return 1
    if args.keep:
        shutil.copyfile(args.file, args.keep)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

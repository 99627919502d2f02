#!/usr/bin/env python3
"""Runs setup-check's table of causes (cases.py) against one build of it.

  run-cases.py PROGRAM                     the host build
  run-cases.py --wine BUILD_DIR PROGRAM    a Windows build, under BUILD_DIR's Wine environment
                                           (tests/e2e/wine-env.sh up BUILD_DIR first)

Prints one line per case and ends with 0 when every case gave its exit status and exactly its
lines; 77 when the Windows build cannot run here (the reason in one line).
"""
import argparse
import os
import shlex
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from cases import CASES  # noqa: E402


def wine_command(build):
    unavailable = os.path.join(build, "wine", "unavailable.txt")
    if os.path.exists(unavailable):
        print(open(unavailable).read().strip())
        sys.exit(77)
    env_script = os.path.join(HERE, "..", "e2e", "wine-env.sh")
    lines = subprocess.run(["bash", env_script, "shell", build], check=True,
                           capture_output=True, text=True).stdout
    env = dict(os.environ)
    for word in shlex.split(lines.replace("export ", "")):
        key, _, value = word.partition("=")
        env[key] = value
    env["LC_ALL"] = "C.UTF-8"
    return [env["WINELOADER"]], env


def lines_of(data, windows):
    text = data.decode("utf-8", errors="replace").replace("\r\n", "\n")
    if windows:
        text = text.replace("\\", "/")
    return text.splitlines()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", metavar="BUILD_DIR")
    parser.add_argument("program")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    prefix, env = ([], None)
    if options.wine:
        prefix, env = wine_command(os.path.abspath(options.wine))

    failures = 0
    for case in CASES:
        with tempfile.TemporaryDirectory(prefix="setup-check-") as work:
            package = os.path.join(work, "pkg")
            os.mkdir(package)
            for name, data in case["files"].items():
                with open(os.path.join(package, name), "wb") as f:
                    f.write(data)
            args = case.get("args", ["--code-page", "1252"])
            command = prefix + [program] + args + [case.get("folder", "pkg")]
            # Into files, not pipes: a program Wine starts on the way may keep a pipe open.
            with open(os.path.join(work, "out"), "wb") as out, \
                    open(os.path.join(work, "err"), "wb") as err:
                status = subprocess.run(command, cwd=work, env=env, stdin=subprocess.DEVNULL,
                                        stdout=out, stderr=err, timeout=60).returncode
            got_out = lines_of(open(os.path.join(work, "out"), "rb").read(), bool(options.wine))
            got_err = lines_of(open(os.path.join(work, "err"), "rb").read(), bool(options.wine))
        # Widths are judged on Windows only, where there are real fonts.
        expected_out = case.get("out_windows" if options.wine and "out_windows" in case
                                else "out", [])
        problems = []
        if status != case["status"]:
            problems.append("exit status %d, expected %d" % (status, case["status"]))
        if "out_head" in case:
            if got_out[:len(case["out_head"])] != case["out_head"]:
                problems.append("output begins:\n    " + "\n    ".join(got_out[:3]))
        elif got_out != expected_out:
            problems.append("output:\n    " + "\n    ".join(got_out) + "\n  expected:\n    "
                            + "\n    ".join(expected_out))
        if "err" in case and got_err != case["err"]:
            problems.append("errors:\n    " + "\n    ".join(got_err) + "\n  expected:\n    "
                            + "\n    ".join(case["err"]))
        if problems:
            failures += 1
            print("FAIL %s: %s" % (case["name"], "; ".join(problems)))
        else:
            print("ok   %s" % case["name"])
    print("%s: %d of %d cases failed" % ("FAIL" if failures else "PASS", failures, len(CASES))
          if failures else "PASS: all %d cases" % len(CASES))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

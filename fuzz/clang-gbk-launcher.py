#!/usr/bin/env python3
"""Compiler launcher of the fuzz build.

Every narrow literal of the program must be GBK bytes. GCC and MSVC convert them with an execution
character set; clang, which libFuzzer needs, knows no execution character set but UTF-8 and refuses
-fexec-charset=GB18030. So for clang this launcher does the conversion itself: it preprocesses the
translation unit as given (which also writes the dependency file), re-encodes the preprocessed text
from UTF-8 to GB18030 (bytes that are not UTF-8 stay as they are), and compiles that. Clang copies
the bytes of a narrow literal as they stand, so the objects hold the same literals as GCC's.
Wide and UTF-16 literals outside ASCII would not survive this; the portable code has none.
"""
import os
import subprocess
import sys

EXEC_CHARSET = "-fexec-charset=GB18030"
DEPENDENCY_FLAGS_WITH_VALUE = ("-MT", "-MF", "-MQ")


def without_dependency_flags(arguments):
    kept = []
    skip = False
    for argument in arguments:
        if skip:
            skip = False
        elif argument in DEPENDENCY_FLAGS_WITH_VALUE:
            skip = True
        elif argument not in ("-MD", "-MMD"):
            kept.append(argument)
    return kept


def main(command):
    command = [argument for argument in command if argument != EXEC_CHARSET]
    if "-c" not in command or "-o" not in command:
        return subprocess.call(command)
    source_at = command.index("-c") + 1
    output_at = command.index("-o") + 1
    preprocessed = command[output_at] + ".utf8.ii"
    recoded = command[output_at] + ".gbk.ii"

    preprocess = list(command)
    preprocess[source_at - 1] = "-E"
    preprocess[output_at] = preprocessed
    status = subprocess.call(preprocess)
    if status != 0:
        return status

    with open(preprocessed, "rb") as utf8:
        text = utf8.read().decode("utf-8", "surrogateescape")
    with open(recoded, "wb") as gbk:
        gbk.write(text.encode("gb18030", "surrogateescape"))
    os.remove(preprocessed)

    compile_recoded = without_dependency_flags(command)
    compile_recoded[compile_recoded.index("-c") + 1] = recoded
    compile_recoded += ["-Wno-invalid-source-encoding", "-Wno-unused-command-line-argument"]
    status = subprocess.call(compile_recoded)
    os.remove(recoded)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/bin/sh
# SPDX-License-Identifier: MIT
# Stands in for the renderer opengl.exe in the tests and the benchmark. It creates the file
# $RENDERER_MARK, if set, when it runs. With $RENDERER_RECORD set, it records there (whole, by a
# rename) its arguments, directory, session and process id, in .env its environment and in
# .config the config.txt it found, then stays running as a real renderer does; without, it ends.
[ -z "${RENDERER_MARK:-}" ] || : >"$RENDERER_MARK"
[ -n "${RENDERER_RECORD:-}" ] || exit 0
printf 'argc=%s\ncwd=%s\nsid=%s\npid=%s\n' $# "$(pwd)" "$(ps -o sid= -p $$ | tr -d ' ')" $$ \
    >"$RENDERER_RECORD.part"
env >"$RENDERER_RECORD.env"
cp config.txt "$RENDERER_RECORD.config" 2>/dev/null || true
mv "$RENDERER_RECORD.part" "$RENDERER_RECORD"
exec sleep 60

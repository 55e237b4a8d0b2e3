#!/bin/sh
# SPDX-License-Identifier: MIT
# Stands in for the renderer opengl.exe in the tests and the benchmark. With RENDERER_MARK set,
# it first creates that file, marking the moment it runs. With RENDERER_RECORD set, it records
# there (whole, by a rename) its arguments, directory, session and process id, in .env its
# environment and in .config the config.txt it found, then stays running as a real renderer
# does; without, it ends.
[ -z "${RENDERER_MARK:-}" ] || : >"$RENDERER_MARK"
[ -n "${RENDERER_RECORD:-}" ] || exit 0
{
    echo "argc=$#"
    echo "cwd=$(pwd)"
    echo "sid=$(ps -o sid= -p $$ | tr -d ' ')"
    echo "pid=$$"
} >"$RENDERER_RECORD.part"
env >"$RENDERER_RECORD.env"
cp config.txt "$RENDERER_RECORD.config" 2>/dev/null || true
mv "$RENDERER_RECORD.part" "$RENDERER_RECORD"
exec sleep 60

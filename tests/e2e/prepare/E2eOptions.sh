#!/usr/bin/env bash
# The Options dialog's scenario runs on the small office machine's drives: fixed C, D and E.
exec bash "$(dirname "$0")/E2eFixedDrives.sh" "$@"

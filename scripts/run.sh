#!/usr/bin/env bash
echo "make run is not available yet: the engine server and the web-server set-up come later." >&2
exit 1

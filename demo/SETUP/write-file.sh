#!/bin/sh
# Demo installer: writes a small log file into the temporary folder (the
# medium itself may be read-only) and says where.
log="${TMPDIR:-/tmp}/${1:-quillmoor-install.log}"
{
  echo "Quillmoor demo installation"
  echo "started: $(date)"
  echo "folder:  $(pwd)"
} > "$log"
echo "Wrote $log"

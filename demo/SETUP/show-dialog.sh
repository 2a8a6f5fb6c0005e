#!/bin/sh
# Demo installer: shows a dialog naming the program it would install.
title="Quillmoor demo installer"
text="This demo would now install: ${1:-a program}"
if command -v zenity >/dev/null 2>&1; then
  exec zenity --info --title="$title" --text="$text"
elif command -v kdialog >/dev/null 2>&1; then
  exec kdialog --title "$title" --msgbox "$text"
elif command -v xmessage >/dev/null 2>&1; then
  exec xmessage -center "$text"
fi
echo "$title: $text"

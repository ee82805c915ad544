#!/bin/sh
# Installs the udev rule that lets the logged-in user open the RVX5K8 box without root.
# Started by PD Zelkor with the argument FromZKApp (no terminal: asks for rights with
# pkexec), or by hand from a shell (sudo). ZK_USB_VID / ZK_USB_PID select another box.
set -eu

VID=$(printf '%s' "${ZK_USB_VID:-1209}" | tr 'A-F' 'a-f')
PID=$(printf '%s' "${ZK_USB_PID:-5a4b}" | tr 'A-F' 'a-f')
RULE_FILE=/etc/udev/rules.d/70-rvx5k8.rules

if [ "$(id -u)" -ne 0 ]; then
  if [ "${1:-}" = "FromZKApp" ] && command -v pkexec >/dev/null 2>&1; then
    exec pkexec env ZK_USB_VID="$VID" ZK_USB_PID="$PID" /bin/sh "$0" "$@"
  fi
  exec sudo ZK_USB_VID="$VID" ZK_USB_PID="$PID" /bin/sh "$0" "$@"
fi

cat >"$RULE_FILE" <<RULE
# PD Zelkor RVX5K8 analyzer box: access for the user at the seat, and for group plugdev.
SUBSYSTEM=="usb", ATTRS{idVendor}=="$VID", ATTRS{idProduct}=="$PID", MODE="0660", GROUP="plugdev", TAG+="uaccess"
RULE
chmod 0644 "$RULE_FILE"
udevadm control --reload-rules
udevadm trigger --subsystem-match=usb --attr-match=idVendor="$VID"
echo "Installed $RULE_FILE; unplug and replug the box."

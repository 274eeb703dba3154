# Shared helpers for the CI stages.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

# Installs the Debian packages that are not installed yet.
need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ ! -e /tmp/.ptrbox-apt-updated ]; then
    apt-get update -qq && touch /tmp/.ptrbox-apt-updated
  fi
  echo "installing: ${missing[*]}"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

stage() { printf '\n=== %s ===\n' "$*"; }

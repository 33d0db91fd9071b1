#!/usr/bin/env bash
# run_splash_check.sh WINE_RUN WATCHER SCENARIO LANG: runs the splash watcher under Wine in the
# given user language, bounded in time, and turns the screenshots it saved into PNGs.
set -uo pipefail
wine_run=$1 watcher=$2 scenario=$3 lang=$4
case $lang in
  en) locale=en_US.UTF-8 ;;
  de) locale=de_DE.UTF-8 ;;
  fr) locale=fr_FR.UTF-8 ;;
  it) locale=it_IT.UTF-8 ;;
  *) echo "run_splash_check: unknown language $lang" >&2; exit 2 ;;
esac
shot=splash_${scenario}_${lang}
rm -f "$shot".bmp "$shot".png "${shot}"_screen.bmp "${shot}"_screen.png
# Wine takes the user's and the system's language from the Unix locale. Where the locale is
# not installed (as on the test machines) only LC_ALL counts: LANG or LC_MESSAGES alone leave
# Wine at English. The others are set too for machines where the locale exists. Set through
# env so that this shell does not try the locale itself.
env LC_ALL="$locale" LANG="$locale" LC_MESSAGES="$locale" \
  timeout -k 5 90 "$wine_run" "$watcher" "$scenario" "$lang" "$shot.bmp"
status=$?
for picture in "$shot.bmp" "${shot}_screen.bmp"; do
  if [[ -f $picture ]]; then
    convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
  fi
done
if ((status == 124 || status == 137)); then
  echo "run_splash_check: the watcher did not finish in time" >&2
fi
exit "$status"

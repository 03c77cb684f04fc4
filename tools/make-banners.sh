#!/bin/bash
# Draws the banner pictures of the language pack (resources/lang/<Language>/
# pr_1.png .. pr_3.png, 650 x 290, shown in rotation while setup downloads and
# installs) with ImageMagick. Languages written in Latin script get their own
# headline and line of copy; the others (scripts the stock fonts cannot shape
# or lack) get the artwork with the product's wordmark. Arabic gets the artwork
# mirrored and the wordmark on the right. The pictures are committed; run this
# again after changing the artwork or the copy.
#   tools/make-banners.sh [lang-folder]
set -e
out=${1:-$(dirname "$0")/../resources/lang}
# Debian's own convert first: a wrapper earlier on PATH may flatten the
# transparent layers this script composes.
CONVERT=${CONVERT:-$(command -v /usr/bin/convert || command -v convert)}
W=650
H=290
PRODUCT="Velmora Pathwick"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Theme of banner n: top and bottom colour of the background, accent colour.
theme() {
  case $1 in
    1) echo "#0d3a78 #1f6fd1 #7fc4ff" ;;
    2) echo "#0a4a46 #1b9484 #8ff0dc" ;;
    3) echo "#33246f #6a4fd1 #d3c4ff" ;;
  esac
}

# A winding path with waypoints on the right part of the banner, different
# for each banner; the text side stays calm.
artwork() {
  local n=$1 file=$2
  read -r top bottom accent <<<"$(theme "$n")"
  local path marks
  # Marks sit where the curve's two segments meet and halfway along the second.
  case $n in
    1) path="M 400,300 C 430,220 560,250 540,170 S 600,60 660,40"
       marks="circle 540,170 548,170 circle 570,82 577,82" ;;
    2) path="M 380,-10 C 470,60 380,140 480,180 S 640,200 660,300"
       marks="circle 480,180 488,180 circle 600,217 607,217" ;;
    3) path="M 360,300 C 420,200 480,260 520,160 S 560,40 660,70"
       marks="circle 520,160 528,160 circle 567,66 574,66" ;;
  esac
  "$CONVERT" -size ${W}x${H} gradient:"$top-$bottom" \
    -draw "fill rgba(255,255,255,0.05) circle 560,150 560,-30 circle 470,290 470,190" \
    -draw "fill none stroke rgba(255,255,255,0.16) stroke-width 34 stroke-linecap round
           stroke-linejoin round path '$path'" \
    -draw "fill none stroke $accent stroke-width 3 stroke-dasharray 14 10 path '$path'" \
    -draw "fill $accent stroke white stroke-width 3 $marks" \
    "$file"
}

# Localised copy: folder | headline 1 | line 1 | headline 2 | line 2 | headline 3 | line 3
copy() {
  cat <<'COPY'
English|Welcome to Velmora Pathwick|Setup is preparing everything for you.|Always the latest version|Setup downloads the newest release straight from Velmora.|Ready in a moment|You can start Velmora Pathwick as soon as setup has finished.
German|Willkommen bei Velmora Pathwick|Das Setup bereitet alles für Sie vor.|Immer die neueste Version|Das Setup lädt die aktuelle Version direkt von Velmora.|Gleich geht es los|Sobald das Setup fertig ist, können Sie Velmora Pathwick starten.
French|Bienvenue dans Velmora Pathwick|L'installation prépare tout pour vous.|Toujours la dernière version|L'installation télécharge la version la plus récente directement chez Velmora.|Presque prêt|Vous pourrez lancer Velmora Pathwick dès la fin de l'installation.
Spanish|Bienvenido a Velmora Pathwick|El instalador lo está preparando todo para usted.|Siempre la última versión|El instalador descarga la versión más reciente directamente de Velmora.|Listo en un momento|Podrá iniciar Velmora Pathwick en cuanto termine la instalación.
Italian|Benvenuto in Velmora Pathwick|L'installazione sta preparando tutto per te.|Sempre l'ultima versione|L'installazione scarica la versione più recente direttamente da Velmora.|Quasi pronto|Potrai avviare Velmora Pathwick non appena l'installazione sarà terminata.
Portuguese|Bem-vindo ao Velmora Pathwick|A instalação está a preparar tudo para si.|Sempre a versão mais recente|A instalação transfere a versão mais recente diretamente da Velmora.|Pronto num instante|Poderá iniciar o Velmora Pathwick assim que a instalação terminar.
Dutch|Welkom bij Velmora Pathwick|Setup maakt alles voor u klaar.|Altijd de nieuwste versie|Setup downloadt de nieuwste versie rechtstreeks van Velmora.|Zo klaar|Zodra setup klaar is, kunt u Velmora Pathwick starten.
Swedish|Välkommen till Velmora Pathwick|Installationen förbereder allt åt dig.|Alltid den senaste versionen|Installationen hämtar den senaste versionen direkt från Velmora.|Snart klart|Du kan starta Velmora Pathwick så snart installationen är klar.
Polish|Witamy w Velmora Pathwick|Instalator przygotowuje wszystko za Ciebie.|Zawsze najnowsza wersja|Instalator pobiera najnowszą wersję prosto od Velmora.|Za chwilę gotowe|Velmora Pathwick uruchomisz zaraz po zakończeniu instalacji.
Indonesian|Selamat datang di Velmora Pathwick|Penginstal sedang menyiapkan semuanya untuk Anda.|Selalu versi terbaru|Penginstal mengunduh versi terbaru langsung dari Velmora.|Sebentar lagi siap|Anda dapat memulai Velmora Pathwick segera setelah instalasi selesai.
Malaysian|Selamat datang ke Velmora Pathwick|Persediaan sedang menyediakan segalanya untuk anda.|Sentiasa versi terkini|Persediaan memuat turun versi terkini terus daripada Velmora.|Hampir siap|Anda boleh memulakan Velmora Pathwick sebaik sahaja persediaan selesai.
COPY
}

# Headline and copy on the left third and a half of the banner.
lettered() {
  local art=$1 head=$2 line=$3 file=$4
  # The product's name gets a line of its own.
  head=${head/% "$PRODUCT"/\\n$PRODUCT}
  "$CONVERT" -background none -fill white -font DejaVu-Sans-Bold -pointsize 28 \
    -size 340x caption:"$head" "$tmp/head.png"
  "$CONVERT" -background none -fill "rgba(255,255,255,0.85)" -font DejaVu-Sans -pointsize 16 \
    -interline-spacing 4 -size 330x caption:"$line" "$tmp/line.png"
  local nHead
  nHead=$("$CONVERT" "$tmp/head.png" -format %h info:)
  "$CONVERT" "$art" "$tmp/head.png" -geometry +40+70 -composite \
    "$tmp/line.png" -geometry +40+$((70 + nHead + 18)) -composite "$file"
}

# The product's wordmark for languages whose script gets no lettering.
wordmark() {
  local art=$1 gravity=$2 file=$3
  "$CONVERT" "$art" -font DejaVu-Sans-Bold -pointsize 30 -fill white \
    -gravity "$gravity" -annotate +40+0 "$PRODUCT" "$file"
}

# Palette PNGs keep the 51 pictures of the pack small.
finish() {
  "$CONVERT" "$1" -dither None -colors 128 -strip -define png:compression-level=9 PNG8:"$2"
}

for n in 1 2 3; do
  artwork "$n" "$tmp/art$n.png"
  "$CONVERT" "$tmp/art$n.png" -flop "$tmp/art${n}_rtl.png"
done

copy | while IFS='|' read -r folder h1 l1 h2 l2 h3 l3; do
  heads=("$h1" "$h2" "$h3")
  lines=("$l1" "$l2" "$l3")
  for n in 1 2 3; do
    lettered "$tmp/art$n.png" "${heads[n-1]}" "${lines[n-1]}" "$tmp/out.png"
    finish "$tmp/out.png" "$out/$folder/pr_$n.png"
  done
done

for folder in Chinese ChineseTW Japanese Korean Thai Arabic; do
  for n in 1 2 3; do
    if [ "$folder" = Arabic ]; then
      wordmark "$tmp/art${n}_rtl.png" East "$tmp/out.png"
    else
      wordmark "$tmp/art$n.png" West "$tmp/out.png"
    fi
    finish "$tmp/out.png" "$out/$folder/pr_$n.png"
  done
done

du -cb "$out"/*/pr_*.png | tail -1

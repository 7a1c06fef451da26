<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko">
<context>
    <name>main</name>
    <message>
        <source>Editor for an 8 x 50 dot-matrix sign.</source>
        <translation>8 x 50 도트 매트릭스 전광판 편집기.</translation>
    </message>
    <message>
        <source>--device needs a device path or a network link</source>
        <translation>--device에는 장치 경로나 네트워크 연결을 주어야 합니다</translation>
    </message>
    <message>
        <source>Down Load sends to this serial device or network link (socket://HOST:PORT, rfc2217://HOST:PORT), or to the sign of this name in signs.conf, instead of the numbered port&apos;s device.</source>
        <translation>Down Load가 번호 포트의 장치 대신 이 시리얼 장치나 네트워크 연결(socket://호스트:포트, rfc2217://호스트:포트), 또는 signs.conf에서 이 이름을 가진 전광판으로 보냅니다.</translation>
    </message>
</context>
<context>
    <name>orvane::BitmapFont</name>
    <message>
        <source>the file is larger than %1 MiB; this is not a font for the sign</source>
        <translation>파일이 %1 MiB보다 큽니다. 전광판용 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>the glyph %1 &quot;%2&quot;</source>
        <translation>글자 %1 &quot;%2&quot;</translation>
    </message>
    <message>
        <source>the glyph %1</source>
        <translation>글자 %1</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>파일이 비어 있습니다</translation>
    </message>
    <message>
        <source>the file unpacks to nothing</source>
        <translation>압축을 풀면 아무것도 없습니다</translation>
    </message>
    <message>
        <source>the file is compressed twice; this is not a font</source>
        <translation>파일이 두 번 압축되어 있습니다. 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>the file is compressed with compress or bzip2; unpack it first or use a gzip-compressed font</source>
        <translation>compress나 bzip2로 압축된 파일입니다. 먼저 압축을 풀거나 gzip으로 압축된 글꼴을 쓰십시오</translation>
    </message>
    <message>
        <source>cannot unpack the file: out of memory</source>
        <translation>파일의 압축을 풀 수 없습니다: 메모리가 부족합니다</translation>
    </message>
    <message>
        <source>cannot unpack the file</source>
        <translation>파일의 압축을 풀 수 없습니다</translation>
    </message>
    <message>
        <source>the file unpacks to more than %1 MiB; this is not a font for the sign</source>
        <translation>압축을 풀면 %1 MiB가 넘습니다. 전광판용 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>the gzip-compressed data ends too soon; the file may be cut short</source>
        <translation>gzip 압축 데이터가 너무 일찍 끝납니다. 파일이 잘렸을 수 있습니다</translation>
    </message>
    <message>
        <source>the gzip-compressed data is damaged (%1)</source>
        <translation>gzip 압축 데이터가 손상되었습니다(%1)</translation>
    </message>
    <message>
        <source>line %1: the line is longer than %2 characters; this is not a BDF font</source>
        <translation>%1번 줄: 줄이 %2자보다 깁니다. BDF 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>line %1: more than %2 properties; this is not a font for the sign</source>
        <translation>%1번 줄: 속성이 %2개를 넘습니다. 전광판용 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>cannot start FreeType: out of memory</source>
        <translation>FreeType을 시작할 수 없습니다: 메모리가 부족합니다</translation>
    </message>
    <message>
        <source>%1 is an outline font, not a bitmap font; the sign needs a bitmap font (BDF or PCF) of at most %2 rows</source>
        <translation>%1 글꼴은 비트맵 글꼴이 아닌 윤곽선 글꼴입니다. 전광판에는 %2행 이하의 비트맵 글꼴(BDF 또는 PCF)이 필요합니다</translation>
    </message>
    <message>
        <source>this</source>
        <translation>이</translation>
    </message>
    <message>
        <source>the font has no bitmaps; this is not a bitmap font</source>
        <translation>글꼴에 비트맵이 없습니다. 비트맵 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>more than %1 glyphs; this is not a font for the sign</source>
        <translation>글자가 %1개를 넘습니다. 전광판용 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>this is not a font: neither BDF nor PCF, nor another format FreeType reads</source>
        <translation>글꼴이 아닙니다: BDF도 PCF도, FreeType이 읽는 다른 형식도 아닙니다</translation>
    </message>
    <message>
        <source>reading the font takes more than %1 MiB; this is not a font for the sign</source>
        <translation>글꼴을 읽는 데 %1 MiB가 넘게 듭니다. 전광판용 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>the font&apos;s header is broken or cut short</source>
        <translation>글꼴의 머리부가 깨졌거나 잘렸습니다</translation>
    </message>
    <message>
        <source>the font&apos;s glyphs are broken or cut short (a glyph without ENDCHAR, or no ENDFONT)</source>
        <translation>글꼴의 글자가 깨졌거나 잘렸습니다(ENDCHAR가 없는 글자가 있거나 ENDFONT가 없습니다)</translation>
    </message>
    <message>
        <source>the font is broken: %1</source>
        <translation>글꼴이 깨졌습니다: %1</translation>
    </message>
    <message>
        <source>none of the font&apos;s %1 sizes fits the sign&apos;s %2 rows (the smallest is %3 pixels high)</source>
        <translation>글꼴의 크기 %1가지 중 전광판의 %2행에 맞는 것이 없습니다(가장 작은 것이 %3픽셀 높이)</translation>
    </message>
    <message>
        <source>the font&apos;s ascent %1 or descent %2 is outside %3..%4; this is not a font for the sign</source>
        <translation>글꼴의 어센트 %1 또는 디센트 %2가 %3..%4 밖입니다. 전광판용 글꼴이 아닙니다</translation>
    </message>
    <message>
        <source>the font is %1 pixels high (ascent %2, descent %3); the sign has %4 rows</source>
        <translation>글꼴 높이가 %1픽셀(어센트 %2, 디센트 %3)입니다. 전광판은 %4행입니다</translation>
    </message>
    <message>
        <source>the font has no character map</source>
        <translation>글꼴에 문자 맵이 없습니다</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2)</source>
        <translation>%1을(를) 읽을 수 없습니다(%2)</translation>
    </message>
    <message>
        <source>%1 is not a bitmap</source>
        <translation>%1은(는) 비트맵이 아닙니다</translation>
    </message>
    <message>
        <source>%1 advances %2 pixels; the most is %3</source>
        <translation>%1의 너비(advance)가 %2픽셀입니다. 최대 %3픽셀입니다</translation>
    </message>
    <message>
        <source>%1 is %2 x %3 pixels; the most is %4 x %4</source>
        <translation>%1의 크기가 %2 x %3픽셀입니다. 최대 %4 x %4픽셀입니다</translation>
    </message>
    <message>
        <source>%1 is %2 pixels high; the sign has %3 rows</source>
        <translation>%1의 높이가 %2픽셀입니다. 전광판은 %3행입니다</translation>
    </message>
    <message>
        <source>%1 lies %2 pixels from the baseline; the most is %3</source>
        <translation>%1이(가) 기준선에서 %2픽셀 떨어져 있습니다. 최대 %3픽셀입니다</translation>
    </message>
    <message>
        <source>the font has no glyphs</source>
        <translation>글꼴에 글자가 없습니다</translation>
    </message>
    <message>
        <source>the font has no height (ascent %1, descent %2)</source>
        <translation>글꼴에 높이가 없습니다(어센트 %1, 디센트 %2)</translation>
    </message>
    <message>
        <source>the PCF font is broken or cut short</source>
        <translation>PCF 글꼴이 깨졌거나 잘렸습니다</translation>
    </message>
</context>
<context>
    <name>orvane::Download</name>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>%1을(를) 열 수 없습니다: %2</translation>
    </message>
    <message>
        <source>the line took no data for %1 s</source>
        <translation>회선이 %1초 동안 데이터를 받지 않았습니다</translation>
    </message>
    <message>
        <source>; %1 of %2 characters had not gone out</source>
        <translation>. %2자 중 %1자가 나가지 못했습니다</translation>
    </message>
    <message>
        <source>Cannot connect to %1: %2</source>
        <translation>%1에 연결할 수 없습니다: %2</translation>
    </message>
    <message>
        <source>Sending to %1 failed after %2 of %3 characters: %4</source>
        <translation>%1(으)로 보내다가 %3자 중 %2자 뒤에 실패했습니다: %4</translation>
    </message>
    <message>
        <source>Finishing the download on %1 failed: %2</source>
        <translation>%1에서 다운로드를 마치지 못했습니다: %2</translation>
    </message>
</context>
<context>
    <name>orvane::FileReading</name>
    <message>
        <source>it is a folder, not a file</source>
        <translation>파일이 아니라 폴더입니다</translation>
    </message>
    <message>
        <source>it is a device or a pipe, not a file</source>
        <translation>파일이 아니라 장치나 파이프입니다</translation>
    </message>
    <message>
        <source>cannot open the file: %1</source>
        <translation>파일을 열 수 없습니다: %1</translation>
    </message>
    <message>
        <source>cannot read the file: %1</source>
        <translation>파일을 읽을 수 없습니다: %1</translation>
    </message>
    <message>
        <source>the file gave no data for %1 s; it is not an ordinary file</source>
        <translation>%1초 동안 파일에서 데이터가 오지 않았습니다. 일반 파일이 아닙니다</translation>
    </message>
    <message>
        <source>only %1 of %2 bytes could be written (is the disk full?)</source>
        <translation>%2바이트 중 %1바이트만 썼습니다(디스크가 가득 찼습니까?)</translation>
    </message>
    <message>
        <source>it is another user&apos;s symbolic link in a folder open to every user; it is not followed</source>
        <translation>모든 사용자가 쓸 수 있는 폴더에 있는 다른 사용자의 심볼릭 링크입니다. 따라가지 않습니다</translation>
    </message>
</context>
<context>
    <name>orvane::FontChoice</name>
    <message>
        <source>Font</source>
        <translation>글꼴</translation>
    </message>
    <message>
        <source>Other Font File...</source>
        <translation>다른 글꼴 파일...</translation>
    </message>
    <message>
        <source>Font for Typing</source>
        <translation>입력용 글꼴</translation>
    </message>
    <message>
        <source>BDF fonts (*.bdf *.BDF)</source>
        <translation>BDF 글꼴 (*.bdf *.BDF)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>모든 파일 (*)</translation>
    </message>
</context>
<context>
    <name>orvane::Form1</name>
    <message>
        <source>Clear</source>
        <translation>모두 끄기 (Clear)</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>모두 켜기 (Set)</translation>
    </message>
    <message>
        <source>Click a dot, or press Enter, to light or darken it; Shift+drag paints every dot crossed like the first one.
Type to write text at the yellow caret; Backspace takes back the last character. Arrows, Home and End move the current cell and the caret.
Right-click or the Menu key: undo, images, fonts, shifting, mirroring and more. Drop a pattern file or an image here to load it. F1 lists every key.</source>
        <translation>도트를 클릭하거나 Enter를 누르면 켜지거나 꺼집니다. Shift+드래그하면 지나가는 도트가 모두 첫 도트처럼 칠해집니다.
노란 커서 위치에 글자를 입력할 수 있고, Backspace는 마지막 글자를 되돌립니다. 화살표, Home, End는 현재 칸과 커서를 옮깁니다.
오른쪽 클릭이나 메뉴 키: 실행 취소, 이미지, 글꼴, 밀기, 뒤집기 등. 패턴 파일이나 이미지를 여기에 끌어다 놓으면 불러옵니다. F1을 누르면 모든 키가 나옵니다.</translation>
    </message>
    <message>
        <source>The speed the sign shows the picture at: 1 at the left end to 9 at the right. Save keeps it with the picture.</source>
        <translation>전광판이 그림을 보여 주는 속도: 왼쪽 끝이 1, 오른쪽 끝이 9입니다. 저장하면 그림과 함께 저장됩니다.</translation>
    </message>
    <message>
        <source>Light every dot (Ctrl+Insert). Typing then starts at column 1; Ctrl+Z takes it back.</source>
        <translation>모든 도트를 켭니다(Ctrl+Insert). 입력은 1열부터 다시 시작하며, Ctrl+Z로 되돌릴 수 있습니다.</translation>
    </message>
    <message>
        <source>Darken every dot (Ctrl+Delete). Typing then starts at column 1; Ctrl+Z takes it back.</source>
        <translation>모든 도트를 끕니다(Ctrl+Delete). 입력은 1열부터 다시 시작하며, Ctrl+Z로 되돌릴 수 있습니다.</translation>
    </message>
    <message>
        <source>Open a pattern file: its picture and speed replace these (Ctrl+O).</source>
        <translation>패턴 파일을 엽니다. 파일의 그림과 속도로 바뀝니다(Ctrl+O).</translation>
    </message>
    <message>
        <source>Save the picture and the speed to a pattern file (Ctrl+S).</source>
        <translation>그림과 속도를 패턴 파일에 저장합니다(Ctrl+S).</translation>
    </message>
    <message>
        <source>Send the picture and the speed to the sign through the port shown under Com N.</source>
        <translation>Com N 아래에 표시된 포트로 그림과 속도를 전광판에 보냅니다.</translation>
    </message>
    <message>
        <source>The serial port the sign is on, 1 to 16; Up and Dn change it. Hover over the number to see the device and whether something is there.</source>
        <translation>전광판이 연결된 시리얼 포트, 1~16입니다. Up과 Dn으로 바꿉니다. 번호 위에 마우스를 올리면 장치와 연결 여부가 나옵니다.</translation>
    </message>
    <message>
        <source>Paint</source>
        <translation>칠하기</translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation>도트 켜기/끄기</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>불러오기</translation>
    </message>
    <message>
        <source>Import image</source>
        <translation>이미지 가져오기</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>Down Load sends to %1 (given by --device), not to port %2</source>
        <translation>Down Load는 포트 %2가 아니라 %1(--device로 지정)로 보냅니다</translation>
    </message>
    <message>
        <source>Down Load</source>
        <translation>다운로드</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>속도</translation>
    </message>
    <message>
        <source>Speed %1</source>
        <translation>속도 %1</translation>
    </message>
    <message>
        <source>Port %1</source>
        <translation>포트 %1</translation>
    </message>
</context>
<context>
    <name>orvane::GridAccessible</name>
    <message>
        <source>Row %1, column %2, lit</source>
        <translation>%1행 %2열, 켜짐</translation>
    </message>
    <message>
        <source>Row %1, column %2, dark</source>
        <translation>%1행 %2열, 꺼짐</translation>
    </message>
    <message>
        <source>Row %1, column %2, dark, no text</source>
        <translation>%1행 %2열, 꺼짐, 글자 없음</translation>
    </message>
    <message>
        <source>Row %1, column %2, dark, text %3</source>
        <translation>%1행 %2열, 꺼짐, 글자 %3</translation>
    </message>
    <message>
        <source>%1 of %2 dots lit</source>
        <translation>도트 %2개 중 %1개 켜짐</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>그림</translation>
    </message>
</context>
<context>
    <name>orvane::GridMenu</name>
    <message>
        <source>Redo</source>
        <translation>다시 실행</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>실행 취소</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>다시 실행: %1</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>실행 취소: %1</translation>
    </message>
    <message>
        <source>Shift Left</source>
        <translation>왼쪽으로 밀기</translation>
    </message>
    <message>
        <source>Shift Right</source>
        <translation>오른쪽으로 밀기</translation>
    </message>
    <message>
        <source>Shift Up</source>
        <translation>위로 밀기</translation>
    </message>
    <message>
        <source>Shift Down</source>
        <translation>아래로 밀기</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>반전</translation>
    </message>
    <message>
        <source>Mirror Left-Right</source>
        <translation>좌우 뒤집기</translation>
    </message>
    <message>
        <source>Mirror Top-Bottom</source>
        <translation>상하 뒤집기</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>가운데로</translation>
    </message>
    <message>
        <source>Import Image...</source>
        <translation>이미지 가져오기...</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>모두 끄기 (Clear)</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>모두 켜기 (Set)</translation>
    </message>
    <message>
        <source>Load...</source>
        <translation>불러오기 (Load)...</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>저장 (Save)...</translation>
    </message>
    <message>
        <source>Keys and Mouse...</source>
        <translation>키와 마우스...</translation>
    </message>
    <message>
        <source>Picture commands</source>
        <translation>그림 명령</translation>
    </message>
</context>
<context>
    <name>orvane::GridTyping</name>
    <message>
        <source>Typing</source>
        <translation>입력</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Backspace</translation>
    </message>
</context>
<context>
    <name>orvane::Image</name>
    <message>
        <source>%1: cannot save the image: %2</source>
        <translation>%1: 이미지를 저장할 수 없습니다: %2</translation>
    </message>
    <message>
        <source>the scale %1 is outside %2 to %3</source>
        <translation>배율 %1이(가) %2~%3 범위 밖입니다</translation>
    </message>
    <message>
        <source>%1 x %2 pixels</source>
        <translation>%1 x %2픽셀</translation>
    </message>
    <message>
        <source>the %1 pixels a side and %2 million pixels this program reads</source>
        <translation>이 프로그램이 읽는 한 변 %1픽셀, 전체 %2백만 픽셀</translation>
    </message>
    <message>
        <source>the image is %1, larger than %2</source>
        <translation>이미지가 %1(으)로, %2보다 큽니다</translation>
    </message>
    <message>
        <source>the image decodes to %1, larger than %2</source>
        <translation>이미지를 풀면 %1(으)로, %2보다 큽니다</translation>
    </message>
    <message>
        <source>the file is larger than the %1 MiB this program reads as an image in a text format (XBM, XPM, plain PBM/PGM/PPM)</source>
        <translation>파일이 이 프로그램이 텍스트 형식(XBM, XPM, 일반 PBM/PGM/PPM) 이미지로 읽는 %1 MiB보다 큽니다</translation>
    </message>
    <message>
        <source>the GIF image&apos;s first frame is %1, larger than %2</source>
        <translation>GIF 이미지의 첫 프레임이 %1(으)로, %2보다 큽니다</translation>
    </message>
    <message>
        <source>the JPEG image has %1 scans, more than the %2 this program reads</source>
        <translation>JPEG 이미지의 스캔이 %1개로, 이 프로그램이 읽는 %2개보다 많습니다</translation>
    </message>
    <message>
        <source>the threshold %1 is outside %2 to %3</source>
        <translation>임계값 %1이(가) %2~%3 범위 밖입니다</translation>
    </message>
    <message>
        <source>the image is empty</source>
        <translation>이미지가 비어 있습니다</translation>
    </message>
    <message>
        <source>the image of %1 cannot be scaled to %2 rows</source>
        <translation>%1 이미지를 %2행으로 줄일 수 없습니다</translation>
    </message>
    <message>
        <source>the image of %1 is %2 columns wide at %3 rows; only its first %4 columns are shown</source>
        <translation>%1 이미지는 %3행에서 너비가 %2열입니다. 앞쪽 %4열만 보입니다</translation>
    </message>
    <message>
        <source>not an image in a format this program reads (%1)</source>
        <translation>이 프로그램이 읽는 형식의 이미지가 아닙니다(%1)</translation>
    </message>
    <message>
        <source>cannot read the image: %1</source>
        <translation>이미지를 읽을 수 없습니다: %1</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>파일이 비어 있습니다</translation>
    </message>
    <message>
        <source>the file is larger than the %1 MiB this program reads as an image</source>
        <translation>파일이 이 프로그램이 이미지로 읽는 %1 MiB보다 큽니다</translation>
    </message>
</context>
<context>
    <name>orvane::ImageImporter</name>
    <message>
        <source>Images (%1)</source>
        <translation>이미지 (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>모든 파일 (*)</translation>
    </message>
    <message>
        <source>Import Image</source>
        <translation>이미지 가져오기</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>불러오기</translation>
    </message>
</context>
<context>
    <name>orvane::ImportImageDialog</name>
    <message>
        <source>Import Image - %1</source>
        <translation>이미지 가져오기 - %1</translation>
    </message>
    <message>
        <source>The picture as OK will put it on the grid: %1 rows by %2 columns, red for a lit dot. The image is scaled to %1 pixels high; what is wider than %2 columns is cut off.</source>
        <translation>확인을 누르면 격자에 들어갈 그림입니다: %1행 %2열, 켜진 도트는 빨간색. 이미지는 높이 %1픽셀로 맞추고, %2열보다 넓은 부분은 잘립니다.</translation>
    </message>
    <message>
        <source>How bright a pixel must be to light its dot, from 0 (every opaque pixel) to 100 (only pure white), as orvane-send --threshold. Arrow keys move it by 1, Page Up and Page Down by 10.</source>
        <translation>픽셀이 얼마나 밝아야 도트를 켤지 정합니다. 0(불투명한 픽셀 모두)부터 100(순백색만)까지이며, orvane-send --threshold와 같습니다. 화살표 키는 1씩, Page Up과 Page Down은 10씩 움직입니다.</translation>
    </message>
    <message>
        <source>&amp;Threshold:</source>
        <translation>임계값(&amp;T):</translation>
    </message>
    <message>
        <source>&amp;Invert: light the dark pixels</source>
        <translation>반전: 어두운 픽셀을 켜기(&amp;I)</translation>
    </message>
    <message>
        <source>Light the dots of dark pixels instead of bright ones, as orvane-send --invert. A transparent pixel stays dark either way.</source>
        <translation>밝은 픽셀 대신 어두운 픽셀의 도트를 켭니다. orvane-send --invert와 같습니다. 투명한 픽셀은 어느 쪽이든 꺼진 채로 있습니다.</translation>
    </message>
    <message>
        <source>What was lost in reading the image.</source>
        <translation>이미지를 읽으면서 잃은 부분입니다.</translation>
    </message>
    <message>
        <source>Put this picture on the grid in place of the one there; Ctrl+Z takes it back. The speed stays.</source>
        <translation>지금 격자의 그림 대신 이 그림을 넣습니다. Ctrl+Z로 되돌릴 수 있습니다. 속도는 그대로입니다.</translation>
    </message>
    <message>
        <source>Close without changing the picture.</source>
        <translation>그림을 바꾸지 않고 닫습니다.</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>미리 보기</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>임계값</translation>
    </message>
</context>
<context>
    <name>orvane::KeysHelp</name>
    <message>
        <source>Click, Enter</source>
        <translation>클릭, Enter</translation>
    </message>
    <message>
        <source>light or darken the dot (the current cell)</source>
        <translation>도트(현재 칸)를 켜거나 끄기</translation>
    </message>
    <message>
        <source>Shift+drag</source>
        <translation>Shift+드래그</translation>
    </message>
    <message>
        <source>paint: every dot crossed as the first one</source>
        <translation>칠하기: 지나가는 도트를 모두 첫 도트처럼</translation>
    </message>
    <message>
        <source>Letters, digits, Space</source>
        <translation>글자, 숫자, Space</translation>
    </message>
    <message>
        <source>write text at the yellow caret, also while a button has the focus</source>
        <translation>노란 커서 위치에 글자 쓰기(버튼에 포커스가 있어도)</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Backspace</translation>
    </message>
    <message>
        <source>take back the last character typed</source>
        <translation>마지막으로 입력한 글자 되돌리기</translation>
    </message>
    <message>
        <source>Arrows, Home, End</source>
        <translation>화살표, Home, End</translation>
    </message>
    <message>
        <source>move the current cell and the caret</source>
        <translation>현재 칸과 커서 옮기기</translation>
    </message>
    <message>
        <source>Right button, Menu key, Shift+F10</source>
        <translation>오른쪽 버튼, 메뉴 키, Shift+F10</translation>
    </message>
    <message>
        <source>the menu of every command</source>
        <translation>모든 명령의 메뉴</translation>
    </message>
    <message>
        <source>Drop a file</source>
        <translation>파일 끌어다 놓기</translation>
    </message>
    <message>
        <source>load a pattern file or import an image</source>
        <translation>패턴 파일 불러오기 또는 이미지 가져오기</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>실행 취소</translation>
    </message>
    <message>
        <source>Redo (also Ctrl+Y)</source>
        <translation>다시 실행 (Ctrl+Y도 가능)</translation>
    </message>
    <message>
        <source>Orvane: Keys and Mouse</source>
        <translation>Orvane: 키와 마우스</translation>
    </message>
</context>
<context>
    <name>orvane::Messages</name>
    <message>
        <source>note: </source>
        <translation>참고: </translation>
    </message>
    <message>
        <source>error: </source>
        <translation>오류: </translation>
    </message>
    <message>
        <source>warning: </source>
        <translation>경고: </translation>
    </message>
</context>
<context>
    <name>orvane::NetworkLine</name>
    <message>
        <source>not a kind of link this program knows; use socket://HOST:PORT (a raw TCP port) or rfc2217://HOST:PORT (an RFC 2217 server)</source>
        <translation>이 프로그램이 모르는 연결 종류입니다. socket://호스트:포트(원시 TCP 포트)나 rfc2217://호스트:포트(RFC 2217 서버)를 쓰십시오</translation>
    </message>
    <message>
        <source>not of the form %1</source>
        <translation>%1 형식이 아닙니다</translation>
    </message>
    <message>
        <source>the port is missing; write %1</source>
        <translation>포트가 빠졌습니다. %1처럼 쓰십시오</translation>
    </message>
    <message>
        <source>an IPv6 address goes in brackets, as in %1</source>
        <translation>IPv6 주소는 %1처럼 대괄호로 묶습니다</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535, not &quot;%1&quot;</source>
        <translation>포트는 &quot;%1&quot;이(가) 아니라 1부터 65535까지의 숫자여야 합니다</translation>
    </message>
    <message>
        <source>the connection is not open</source>
        <translation>연결이 열려 있지 않습니다</translation>
    </message>
    <message>
        <source>the name %1 could not be resolved (%2)</source>
        <translation>이름 %1을(를) 찾을 수 없습니다(%2)</translation>
    </message>
    <message>
        <source>the connection was refused: nothing takes connections on port %1 of %2</source>
        <translation>연결이 거부되었습니다: %2의 포트 %1에서 연결을 받는 것이 없습니다</translation>
    </message>
    <message>
        <source>the server closed the connection while this program was waiting for %1</source>
        <translation>이 프로그램이 %1을(를) 기다리는 동안 서버가 연결을 닫았습니다</translation>
    </message>
    <message>
        <source>the connection</source>
        <translation>연결</translation>
    </message>
    <message>
        <source>the server closed the connection</source>
        <translation>서버가 연결을 닫았습니다</translation>
    </message>
    <message>
        <source>the server closed the connection before the frame had time to leave its line</source>
        <translation>프레임이 서버의 회선으로 다 나가기 전에 서버가 연결을 닫았습니다</translation>
    </message>
    <message>
        <source>no answer from %1 port %2 within %3 s</source>
        <translation>%3초 안에 %1 포트 %2에서 응답이 없습니다</translation>
    </message>
    <message>
        <source>no answer within %1 s while waiting for %2</source>
        <translation>%2을(를) 기다리는 동안 %1초 안에 응답이 없습니다</translation>
    </message>
    <message>
        <source>the server took no data for %1 s</source>
        <translation>서버가 %1초 동안 데이터를 받지 않았습니다</translation>
    </message>
    <message>
        <source>baud rate %1</source>
        <translation>전송 속도 %1보</translation>
    </message>
    <message>
        <source>data size %1</source>
        <translation>데이터 비트 %1</translation>
    </message>
    <message>
        <source>parity %1</source>
        <translation>패리티 %1</translation>
    </message>
    <message>
        <source>1 stop bit</source>
        <translation>정지 비트 1</translation>
    </message>
    <message>
        <source>2 stop bits</source>
        <translation>정지 비트 2</translation>
    </message>
    <message>
        <source>1.5 stop bits</source>
        <translation>정지 비트 1.5</translation>
    </message>
    <message>
        <source>stop size %1</source>
        <translation>정지 비트 값 %1</translation>
    </message>
    <message>
        <source>no flow control</source>
        <translation>흐름 제어 없음</translation>
    </message>
    <message>
        <source>XON/XOFF flow control</source>
        <translation>XON/XOFF 흐름 제어</translation>
    </message>
    <message>
        <source>hardware flow control</source>
        <translation>하드웨어 흐름 제어</translation>
    </message>
    <message>
        <source>flow control %1</source>
        <translation>흐름 제어 %1</translation>
    </message>
    <message>
        <source>the server&apos;s agreement to the COM-PORT-OPTION</source>
        <translation>서버의 COM-PORT-OPTION 동의</translation>
    </message>
    <message>
        <source>the server&apos;s acknowledgement of %1</source>
        <translation>서버의 %1 확인 응답</translation>
    </message>
    <message>
        <source>the server&apos;s answer to BINARY</source>
        <translation>서버의 BINARY 응답</translation>
    </message>
    <message>
        <source>the server sent a subnegotiation longer than %1 bytes</source>
        <translation>서버가 %1바이트보다 긴 하위 협상(subnegotiation)을 보냈습니다</translation>
    </message>
    <message>
        <source>the server sent a malformed subnegotiation (IAC %1 inside it)</source>
        <translation>서버가 잘못된 하위 협상(subnegotiation)을 보냈습니다(안에 IAC %1)</translation>
    </message>
    <message>
        <source>the server sent more than %1 option requests</source>
        <translation>서버가 옵션 요청을 %1개 넘게 보냈습니다</translation>
    </message>
    <message>
        <source>the server refused the COM-PORT-OPTION, so it cannot take the line settings (for a raw TCP port use socket://)</source>
        <translation>서버가 COM-PORT-OPTION을 거부했으므로 회선 설정을 받을 수 없습니다(원시 TCP 포트에는 socket://을 쓰십시오)</translation>
    </message>
    <message>
        <source>the server&apos;s answer to %1 is malformed (%2 bytes instead of %3)</source>
        <translation>%1에 대한 서버의 응답이 잘못되었습니다(%3바이트가 아니라 %2바이트)</translation>
    </message>
    <message>
        <source>the server refused %1: it answered with %2</source>
        <translation>서버가 %1을(를) 거부했습니다: %2(으)로 응답했습니다</translation>
    </message>
    <message>
        <source>not a valid host name</source>
        <translation>올바른 호스트 이름이 아닙니다</translation>
    </message>
    <message>
        <source>it has no address</source>
        <translation>주소가 없습니다</translation>
    </message>
    <message>
        <source>a link takes no user name or password; write %1</source>
        <translation>연결에는 사용자 이름이나 암호를 넣지 않습니다. %1처럼 쓰십시오</translation>
    </message>
    <message>
        <source>the name %1 could not be resolved within %2 s: the name service did not answer</source>
        <translation>%2초 안에 이름 %1을(를) 찾을 수 없었습니다: 이름 서비스가 응답하지 않았습니다</translation>
    </message>
</context>
<context>
    <name>orvane::PatternFile</name>
    <message>
        <source>line %1: %2</source>
        <translation>%1번 줄: %2</translation>
    </message>
    <message>
        <source>the line is longer than %1 characters; this is not a pattern file</source>
        <translation>줄이 %1자보다 깁니다. 패턴 파일이 아닙니다</translation>
    </message>
    <message>
        <source>the speed line is empty; it must hold a number from %1 to %2</source>
        <translation>속도 줄이 비어 있습니다. %1부터 %2까지의 숫자가 있어야 합니다</translation>
    </message>
    <message>
        <source>the speed must be a number from %1 to %2, not &quot;%3&quot;</source>
        <translation>속도는 &quot;%3&quot;이(가) 아니라 %1부터 %2까지의 숫자여야 합니다</translation>
    </message>
    <message>
        <source>%1: cannot save the file: %2</source>
        <translation>%1: 파일을 저장할 수 없습니다: %2</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>파일이 비어 있습니다</translation>
    </message>
    <message>
        <source>the file has 1 line</source>
        <translation>파일이 1줄입니다</translation>
    </message>
    <message>
        <source>the file has %1 lines</source>
        <translation>파일이 %1줄입니다</translation>
    </message>
    <message>
        <source>%1, but a pattern file needs %2 picture lines and a speed line</source>
        <translation>%1. 패턴 파일에는 그림 줄 %2개와 속도 줄이 있어야 합니다</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>읽을 수 없습니다: %1</translation>
    </message>
</context>
<context>
    <name>orvane::PortProblem</name>
    <message>
        <source>No serial device is present on any port now.</source>
        <translation>지금은 어느 포트에도 시리얼 장치가 없습니다.</translation>
    </message>
    <message>
        <source>Present now: %1.</source>
        <translation>지금 있는 포트: %1.</translation>
    </message>
    <message>
        <source>another program is sending to it</source>
        <translation>다른 프로그램이 그 포트로 보내고 있습니다</translation>
    </message>
    <message>
        <source>Wait until it has finished, then try again.</source>
        <translation>끝날 때까지 기다린 다음 다시 해 보십시오.</translation>
    </message>
    <message>
        <source>another program is using it</source>
        <translation>다른 프로그램이 그 포트를 쓰고 있습니다</translation>
    </message>
    <message>
        <source>Close that program and try again.</source>
        <translation>그 프로그램을 닫고 다시 해 보십시오.</translation>
    </message>
    <message>
        <source>nothing is plugged in there</source>
        <translation>그 포트에는 아무것도 꽂혀 있지 않습니다</translation>
    </message>
    <message>
        <source>this built-in port has no serial hardware behind it (the system reports no UART there)</source>
        <translation>이 내장 포트 뒤에는 시리얼 하드웨어가 없습니다(시스템이 UART가 없다고 알립니다)</translation>
    </message>
    <message>
        <source>this user may not open it</source>
        <translation>이 사용자는 그 포트를 열 수 없습니다</translation>
    </message>
    <message>
        <source>it is the kernel&apos;s console (/sys/class/tty/console/active names %1): the kernel writes its messages there and a login prompt may answer on it, so this port is not used. To free it, remove &quot;console=%1&quot; from the kernel command line (GRUB_CMDLINE_LINUX in /etc/default/grub, then &quot;sudo update-grub&quot; and a reboot) and stop its login prompt with &quot;sudo systemctl disable --now serial-getty@%1.service&quot;; or, to send there anyway, name the device itself: --device %2.</source>
        <translation>커널 콘솔입니다(/sys/class/tty/console/active가 %1을(를) 가리킵니다). 커널이 메시지를 쓰고 로그인 프롬프트가 응답할 수 있으므로 이 포트는 쓰지 않습니다. 풀려면 커널 명령줄에서 &quot;console=%1&quot;을(를) 지우고(/etc/default/grub의 GRUB_CMDLINE_LINUX, 그다음 &quot;sudo update-grub&quot;과 재부팅), &quot;sudo systemctl disable --now serial-getty@%1.service&quot;로 로그인 프롬프트를 멈추십시오. 그래도 그곳으로 보내려면 장치 자체를 지정하십시오: --device %2.</translation>
    </message>
    <message>
        <source>a FIFO (named pipe)</source>
        <translation>FIFO(명명된 파이프)</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>심볼릭 링크</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>폴더</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>소켓</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>장치</translation>
    </message>
    <message>
        <source>no plain file</source>
        <translation>일반 파일이 아닌 특수 파일</translation>
    </message>
    <message>
        <source>its lock file %1 is %2, so it is not opened and nothing is sent; someone may have put it there to block this program. Remove it, then try again.</source>
        <translation>잠금 파일 %1이(가) %2입니다. 그래서 열지 않고 아무것도 보내지 않습니다. 누군가 이 프로그램을 막으려고 놓아 두었을 수 있습니다. 그 파일을 지운 다음 다시 해 보십시오.</translation>
    </message>
    <message>
        <source>%1 bytes long, far more than a lock file holds</source>
        <translation>%1바이트 길이로, 잠금 파일에 들어가는 내용보다 훨씬 긴 파일</translation>
    </message>
</context>
<context>
    <name>orvane::PortTable</name>
    <message>
        <source>serial port</source>
        <translation>시리얼 포트</translation>
    </message>
    <message>
        <source>built-in serial port</source>
        <translation>내장 시리얼 포트</translation>
    </message>
    <message>
        <source>USB serial adapter</source>
        <translation>USB 시리얼 어댑터</translation>
    </message>
    <message>
        <source>USB CDC device</source>
        <translation>USB CDC 장치</translation>
    </message>
    <message>
        <source>present</source>
        <translation>있음</translation>
    </message>
    <message>
        <source>nothing plugged in</source>
        <translation>꽂힌 것 없음</translation>
    </message>
    <message>
        <source>no serial hardware behind it</source>
        <translation>시리얼 하드웨어 없음</translation>
    </message>
    <message>
        <source>present, but this user may not open it</source>
        <translation>있지만 이 사용자는 열 수 없음</translation>
    </message>
    <message>
        <source>no device</source>
        <translation>장치 없음</translation>
    </message>
    <message>
        <source>the kernel&apos;s console, not used</source>
        <translation>커널 콘솔, 쓰지 않음</translation>
    </message>
    <message>
        <source>Port %1: %2</source>
        <translation>포트 %1: %2</translation>
    </message>
    <message>
        <source>port n is COMn</source>
        <translation>포트 n은 COMn입니다</translation>
    </message>
    <message>
        <source>port n is the n-th /dev/cu.usbserial* or /dev/cu.usbmodem* device, in name order</source>
        <translation>포트 n은 이름 순서로 n번째 /dev/cu.usbserial* 또는 /dev/cu.usbmodem* 장치입니다</translation>
    </message>
    <message>
        <source>built-in serial ports</source>
        <translation>내장 시리얼 포트</translation>
    </message>
    <message>
        <source>USB serial adapters (FTDI, CH340, PL2303, CP210x)</source>
        <translation>USB 시리얼 어댑터(FTDI, CH340, PL2303, CP210x)</translation>
    </message>
    <message>
        <source>USB CDC devices</source>
        <translation>USB CDC 장치</translation>
    </message>
    <message>
        <source>port %1 (%2)</source>
        <translation>포트 %1 (%2)</translation>
    </message>
    <message>
        <source>port %1 (%2, not allowed for this user)</source>
        <translation>포트 %1 (%2, 이 사용자에게 허용되지 않음)</translation>
    </message>
</context>
<context>
    <name>orvane::Prompts</name>
    <message>
        <source>Orvane</source>
        <translation>Orvane</translation>
    </message>
    <message>
        <source>The picture or the speed has changed since it was last saved or loaded.</source>
        <translation>마지막으로 저장하거나 불러온 뒤 그림이나 속도가 바뀌었습니다.</translation>
    </message>
    <message>
        <source>Save the changes before closing?</source>
        <translation>닫기 전에 바뀐 내용을 저장하시겠습니까?</translation>
    </message>
</context>
<context>
    <name>orvane::Send</name>
    <message>
        <source>Try &quot;orvane-send --help&quot;.</source>
        <translation>&quot;orvane-send --help&quot;로 도움말을 보십시오.</translation>
    </message>
    <message>
        <source>Send speed S, 1..9, instead of the source&apos;s (a pattern file&apos;s own speed, 5 otherwise).</source>
        <translation>원본의 속도(패턴 파일 자체의 속도, 그 밖에는 5) 대신 속도 S(1..9)로 보냅니다.</translation>
    </message>
    <message>
        <source>Send TEXT, laid out in a bitmap font, instead of a pattern file.</source>
        <translation>패턴 파일 대신, 비트맵 글꼴로 배치한 TEXT를 보냅니다.</translation>
    </message>
    <message>
        <source>With --text: the font, a bundled one&apos;s name (5x8, galmuri7) or a bitmap font file, BDF, PCF or PCF.gz (default: 5x8). A character it lacks is taken from 5x8, then galmuri7.</source>
        <translation>--text와 함께: 글꼴. 내장 글꼴 이름(5x8, galmuri7)이나 비트맵 글꼴 파일(BDF, PCF, PCF.gz)입니다(기본값: 5x8). 글꼴에 없는 글자는 5x8, 그다음 galmuri7에서 가져옵니다.</translation>
    </message>
    <message>
        <source>With --text: left (default), center or right.</source>
        <translation>--text와 함께: left(왼쪽, 기본값), center(가운데), right(오른쪽).</translation>
    </message>
    <message>
        <source>With --text: where a font lower than 8 rows stands: top, middle (default) or bottom.</source>
        <translation>--text와 함께: 8행보다 낮은 글꼴의 위치: top(위), middle(가운데, 기본값), bottom(아래).</translation>
    </message>
    <message>
        <source>Send an image (PNG, BMP, GIF, JPEG, PPM, ...) scaled to 8 rows, instead of a pattern file.</source>
        <translation>패턴 파일 대신, 8행으로 맞춘 이미지(PNG, BMP, GIF, JPEG, PPM, ...)를 보냅니다.</translation>
    </message>
    <message>
        <source>With --image: a pixel is lit when its lightness is at least P percent, 0..100 (default 50).</source>
        <translation>--image와 함께: 밝기가 P퍼센트 이상인 픽셀을 켭니다. 0..100(기본값 50).</translation>
    </message>
    <message>
        <source>With --image: light the dark pixels instead (dark artwork on a light background).</source>
        <translation>--image와 함께: 대신 어두운 픽셀을 켭니다(밝은 바탕의 어두운 그림).</translation>
    </message>
    <message>
        <source>Print the 102-character frame on standard output instead of sending it (a line end follows only on a terminal).</source>
        <translation>102자 프레임을 보내지 않고 표준 출력에 씁니다(줄 끝은 터미널일 때만 붙습니다).</translation>
    </message>
    <message>
        <source>Write the picture and speed to a pattern file, as the editor&apos;s Save does.</source>
        <translation>편집기의 Save처럼 그림과 속도를 패턴 파일에 씁니다.</translation>
    </message>
    <message>
        <source>Print the picture as 8 lines of 50 characters, &apos;#&apos; lit and &apos;.&apos; dark.</source>
        <translation>그림을 50자씩 8줄로 씁니다. &apos;#&apos;는 켜짐, &apos;.&apos;는 꺼짐.</translation>
    </message>
    <message>
        <source>Write the picture as a PNG image of 50 x 8 pixels, white lit and black dark.</source>
        <translation>그림을 50 x 8픽셀 PNG 이미지로 씁니다. 흰색은 켜짐, 검은색은 꺼짐.</translation>
    </message>
    <message>
        <source>With --png: N x N pixels a dot, 1..100 (default 1).</source>
        <translation>--png와 함께: 도트 하나를 N x N픽셀로, 1..100(기본값 1).</translation>
    </message>
    <message>
        <source>List the ports 1..16: number, device, status (present, absent, no-uart, denied) and what is there.</source>
        <translation>포트 1..16을 나열합니다: 번호, 장치, 상태(present 있음, absent 없음, no-uart UART 없음, denied 거부됨), 연결된 것.</translation>
    </message>
    <message>
        <source>List the bundled fonts and the bitmap fonts of 8 rows or fewer under /usr/share/fonts, with their heights.</source>
        <translation>내장 글꼴과 /usr/share/fonts 아래 8행 이하의 비트맵 글꼴을 높이와 함께 나열합니다.</translation>
    </message>
    <message>
        <source>Show this text.</source>
        <translation>이 도움말을 보여 줍니다.</translation>
    </message>
    <message>
        <source>Show the version.</source>
        <translation>버전을 보여 줍니다.</translation>
    </message>
    <message>
        <source>The pattern file to send; - reads standard input.</source>
        <translation>보낼 패턴 파일. -이면 표준 입력에서 읽습니다.</translation>
    </message>
    <message>
        <source>--%1 must be a number from %2 to %3, not &quot;%4&quot;</source>
        <translation>--%1은(는) &quot;%4&quot;이(가) 아니라 %2부터 %3까지의 숫자여야 합니다</translation>
    </message>
    <message>
        <source>--device needs a device path</source>
        <translation>--device에는 장치 경로를 주어야 합니다</translation>
    </message>
    <message>
        <source>--align must be left, center or right, not &quot;%1&quot;</source>
        <translation>--align은 &quot;%1&quot;이(가) 아니라 left, center, right 중 하나여야 합니다</translation>
    </message>
    <message>
        <source>--valign must be top, middle or bottom, not &quot;%1&quot;</source>
        <translation>--valign은 &quot;%1&quot;이(가) 아니라 top, middle, bottom 중 하나여야 합니다</translation>
    </message>
    <message>
        <source>--%1 goes with --%2</source>
        <translation>--%1은(는) --%2와(과) 함께 씁니다</translation>
    </message>
    <message>
        <source>--%1 needs a file name</source>
        <translation>--%1에는 파일 이름을 주어야 합니다</translation>
    </message>
    <message>
        <source>--frame and --show both write to standard output; give one of them</source>
        <translation>--frame과 --show는 둘 다 표준 출력에 씁니다. 하나만 주십시오</translation>
    </message>
    <message>
        <source>nothing to send: give a pattern file, --text or --image</source>
        <translation>보낼 것이 없습니다: 패턴 파일, --text, --image 중 하나를 주십시오</translation>
    </message>
    <message>
        <source>only one pattern file can be sent, got &quot;%1&quot; and &quot;%2&quot;</source>
        <translation>패턴 파일은 하나만 보낼 수 있는데, &quot;%1&quot;과(와) &quot;%2&quot;를 받았습니다</translation>
    </message>
    <message>
        <source>give one source: a pattern file, --text or --image</source>
        <translation>원본은 하나만 주십시오: 패턴 파일, --text, --image 중 하나</translation>
    </message>
    <message>
        <source>sending to %1 ...</source>
        <translation>%1(으)로 보내는 중 ...</translation>
    </message>
    <message>
        <source>sent %1 characters to %2</source>
        <translation>%2(으)로 %1자를 보냈습니다</translation>
    </message>
    <message>
        <source>sending to %1: column %2 of %3</source>
        <translation>%1(으)로 보내는 중: %3열 중 %2열</translation>
    </message>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>표준 출력에 쓸 수 없습니다: %1</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>읽을 수 없습니다: %1</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>표준 입력</translation>
    </message>
    <message>
        <source>the font %1 has no %2; it is drawn as a box</source>
        <translation>%1 글꼴에 %2이(가) 없어 상자로 그립니다</translation>
    </message>
    <message>
        <source>the text is %1 columns wide; only its first %2 are shown</source>
        <translation>글자의 너비가 %1열입니다. 앞쪽 %2열만 나옵니다</translation>
    </message>
    <message>
        <source>sending to %1 devices: %2 ended</source>
        <translation>장치 %1개로 보내는 중: %2개 끝남</translation>
    </message>
    <message>
        <source>%1: sent %2 characters</source>
        <translation>%1: %2자를 보냈습니다</translation>
    </message>
    <message>
        <source>%1 of %2 devices failed: %3</source>
        <translation>장치 %2개 중 %1개가 실패했습니다: %3</translation>
    </message>
    <message>
        <source>Send through serial port N, 1..16 (default: the device ORVANE_DEVICE names, else port 1; see the port table below). May be given more than once.</source>
        <translation>시리얼 포트 N(1..16)으로 보냅니다. 여러 번 줄 수 있습니다. 기본값: ORVANE_DEVICE가 가리키는 장치, 없으면 포트 1(아래 포트 표 참조).</translation>
    </message>
    <message>
        <source>Send through this serial device, e.g. /dev/ttyUSB0 or a /dev/serial/by-id/ name, or to a sign behind a network serial server: socket://HOST:PORT or rfc2217://HOST:PORT. May be given more than once.</source>
        <translation>이 시리얼 장치로 보냅니다. 예: /dev/ttyUSB0이나 /dev/serial/by-id/ 이름, 또는 네트워크 시리얼 서버 뒤의 전광판: socket://HOST:PORT나 rfc2217://HOST:PORT. 여러 번 줄 수 있습니다.</translation>
    </message>
    <message>
        <source>Send to the sign or group of signs NAME of the signs file (see below). May be given more than once; each device is sent to once.</source>
        <translation>전광판 목록 파일(아래 참조)의 전광판이나 그룹 NAME으로 보냅니다. 여러 번 줄 수 있으며, 장치마다 한 번씩만 보냅니다.</translation>
    </message>
    <message>
        <source>List the signs and groups of the signs file, each with its device and, for a serial device, its status.</source>
        <translation>전광판 목록 파일의 전광판과 그룹을 장치와 함께 나열합니다(시리얼 장치는 상태도).</translation>
    </message>
    <message>
        <source>Sends a picture and a speed to the sign, exactly as the editor&apos;s &quot;Down Load&quot;
does: 300 baud, 8 data bits, no parity, 2 stop bits, no flow control.
Without --frame, --show, --save or --png the picture goes to the sign; with
one or more of them it goes there too only when --port, --device or --sign is
given. Several devices are sent to at once, each result on a line of its own.</source>
        <translation>그림과 속도를 전광판에 보냅니다. 편집기의 &quot;Down Load&quot;와 똑같이
300보, 데이터 비트 8, 패리티 없음, 정지 비트 2, 흐름 제어 없음으로 보냅니다.
--frame, --show, --save, --png가 없으면 그림은 전광판으로 가고, 이 중
하나라도 있으면 --port, --device, --sign을 줄 때만 전광판으로도 갑니다.
여러 장치에 한꺼번에 보내며, 장치마다 결과를 한 줄씩 씁니다.</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>표준 출력</translation>
    </message>
    <message>
        <source>%1 and %2 both write to %3; give each output a file of its own</source>
        <translation>%1과(와) %2이(가) 둘 다 %3에 씁니다. 출력마다 따로 파일을 주십시오</translation>
    </message>
    <message>
        <source>--sign needs a sign&apos;s name, not &quot;%1&quot;</source>
        <translation>--sign에는 &quot;%1&quot;이(가) 아니라 전광판 이름을 주어야 합니다</translation>
    </message>
    <message>
        <source>Usage: orvane-send [OPTION]... FILE
       orvane-send --list-ports
       orvane-send --list-fonts
       orvane-send --list-signs

</source>
        <translation>사용법: orvane-send [옵션]... 파일
        orvane-send --list-ports
        orvane-send --list-fonts
        orvane-send --list-signs

</translation>
    </message>
    <message>
        <source>
Ports:
%1
Fonts (bundled):
  5x8       X11 misc-fixed 5x8, 8 rows: Latin, Greek, Cyrillic; public domain
  galmuri7  Galmuri7 by Lee Minseo, 7 rows: its Hangul syllables and jamo only;
            SIL Open Font License 1.1

Signs file (%2):
  NAME = DEVICE           port N, socket://HOST:PORT, rfc2217://HOST:PORT
                          or an absolute device path
  NAME = NAME, NAME, ...  a group of signs and groups
  # a comment

Environment:
  ORVANE_DEVICE  the device to send through when none of --port, --device
                 and --sign is given
  ORVANE_SIGNS   the signs file instead of the one above

Exit codes:
  0  done: the picture was sent (to every device), printed or saved
  2  bad usage, or a sign&apos;s name that the signs file does not have
  3  the source (pattern file, font or image) or the signs file was refused
  4  a port could not be opened, or a write (port or output file) failed;
     with several devices: at least one did not receive the whole frame
</source>
        <translation>
포트:
%1
글꼴(내장):
  5x8       X11 misc-fixed 5x8, 8행: 라틴, 그리스, 키릴 문자; 퍼블릭 도메인
  galmuri7  이민서의 Galmuri7, 7행: 한글 음절과 자모만;
            SIL Open Font License 1.1

전광판 목록 파일(%2):
  NAME = DEVICE           port N, socket://HOST:PORT, rfc2217://HOST:PORT
                          또는 장치의 절대 경로
  NAME = NAME, NAME, ...  전광판과 그룹을 묶은 그룹
  # 주석

환경 변수:
  ORVANE_DEVICE  --port, --device, --sign 중 어느 것도 주지 않았을 때
                 보낼 장치
  ORVANE_SIGNS   위의 파일 대신 쓸 전광판 목록 파일

종료 코드:
  0  완료: 그림을 (모든 장치에) 보냈거나, 출력했거나, 저장했습니다
  2  잘못된 사용법, 또는 전광판 목록 파일에 없는 전광판 이름
  3  원본(패턴 파일, 글꼴, 이미지)이나 전광판 목록 파일이 거부되었습니다
  4  포트를 열 수 없었거나, 쓰기(포트나 출력 파일)에 실패했습니다.
     장치가 여럿이면: 하나 이상이 프레임 전체를 받지 못했습니다
</translation>
    </message>
    <message>
        <source>the text is more than %1 columns wide; only its first %2 are shown</source>
        <translation>글자의 너비가 %1열을 넘습니다. 앞쪽 %2열만 나옵니다</translation>
    </message>
    <message>
        <source>the signs %1 and %2 are one device, %3; it is sent to once</source>
        <translation>전광판 %1과(와) %2은(는) 같은 장치 %3입니다. 한 번만 보냅니다</translation>
    </message>
</context>
<context>
    <name>orvane::SerialPort</name>
    <message>
        <source>$USER</source>
        <translation>$USER</translation>
    </message>
    <message>
        <source>%1 does not allow writing, not even to its group &quot;%2&quot;; ask the administrator to check its permissions.</source>
        <translation>%1은(는) 그룹 &quot;%2&quot;에도 쓰기를 허용하지 않습니다. 관리자에게 권한을 확인해 달라고 하십시오.</translation>
    </message>
    <message>
        <source>%1 belongs to group &quot;%2&quot;, and user &quot;%3&quot; is not in it in this session. </source>
        <translation>%1은(는) 그룹 &quot;%2&quot; 소속이며, 사용자 &quot;%3&quot;은(는) 이 세션에서 그 그룹에 속하지 않습니다. </translation>
    </message>
    <message>
        <source>The user was added to the group after logging in: log out and in again.</source>
        <translation>로그인한 뒤에 그룹에 추가되었습니다. 로그아웃했다가 다시 로그인하십시오.</translation>
    </message>
    <message>
        <source>Add the user to the group with &quot;sudo usermod -aG %1 %2&quot;, then log out and in again.</source>
        <translation>&quot;sudo usermod -aG %1 %2&quot;로 사용자를 그룹에 추가한 다음, 로그아웃했다가 다시 로그인하십시오.</translation>
    </message>
    <message>
        <source>port %1</source>
        <translation>포트 %1</translation>
    </message>
    <message>
        <source>port %1 (%2)</source>
        <translation>포트 %1 (%2)</translation>
    </message>
    <message>
        <source>the port is not open</source>
        <translation>포트가 열려 있지 않습니다</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>알 수 없는 오류</translation>
    </message>
    <message>
        <source>a device or link has no control characters</source>
        <translation>장치나 링크에는 제어 문자가 들어갈 수 없습니다</translation>
    </message>
</context>
<context>
    <name>orvane::Signs</name>
    <message>
        <source>%1: no sign is named &quot;%2&quot;: the file names none</source>
        <translation>%1: 이름이 &quot;%2&quot;인 전광판이 없습니다. 파일에 이름이 하나도 없습니다</translation>
    </message>
    <message>
        <source>%1: no sign is named &quot;%2&quot;; the names are: %3</source>
        <translation>%1: 이름이 &quot;%2&quot;인 전광판이 없습니다. 있는 이름: %3</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is a group of the signs %3; name one sign</source>
        <translation>%1: &quot;%2&quot;은(는) 전광판 %3의 그룹입니다. 전광판 하나의 이름을 주십시오</translation>
    </message>
    <message>
        <source>the file is larger than %1 bytes; it is no signs file</source>
        <translation>파일이 %1바이트보다 큽니다. 전광판 목록 파일이 아닙니다</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>%1번 줄: %2</translation>
    </message>
    <message>
        <source>a line is NAME = DEVICE or NAME = NAME, NAME, ...</source>
        <translation>줄은 NAME = DEVICE 또는 NAME = NAME, NAME, ... 형식이어야 합니다</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no name: a name is letters, digits, &quot;-&quot;, &quot;_&quot; and &quot;.&quot;</source>
        <translation>&quot;%1&quot;은(는) 이름이 될 수 없습니다: 이름은 글자, 숫자, &quot;-&quot;, &quot;_&quot;, &quot;.&quot;로만 이루어집니다</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is named on line %2 already</source>
        <translation>&quot;%1&quot;은(는) 이미 %2번 줄에 있습니다</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has no device</source>
        <translation>&quot;%1&quot;에 장치가 없습니다</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a port is given by its number, as &quot;port 6&quot;</source>
        <translation>&quot;%1&quot;: 포트는 &quot;port 6&quot;처럼 번호로 씁니다</translation>
    </message>
    <message>
        <source>the group &quot;%1&quot; has an empty name in its list</source>
        <translation>그룹 &quot;%1&quot;의 목록에 빈 이름이 있습니다</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a device nor a name; a device is &quot;port N&quot;, socket://HOST:PORT, rfc2217://HOST:PORT or an absolute path</source>
        <translation>&quot;%1&quot;은(는) 장치도 이름도 아닙니다. 장치는 &quot;port N&quot;, socket://HOST:PORT, rfc2217://HOST:PORT 또는 절대 경로입니다</translation>
    </message>
    <message>
        <source>the group &quot;%1&quot; names &quot;%2&quot;, which is no sign or group of this file</source>
        <translation>그룹 &quot;%1&quot;에 있는 &quot;%2&quot;은(는) 이 파일의 전광판도 그룹도 아닙니다</translation>
    </message>
    <message>
        <source>the group &quot;%1&quot; contains itself: %2</source>
        <translation>그룹 &quot;%1&quot;이(가) 자기 자신을 포함합니다: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a port is a number from %2 to %3</source>
        <translation>&quot;%1&quot;: 포트는 %2부터 %3까지의 숫자입니다</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no network link: use socket://HOST:PORT or rfc2217://HOST:PORT</source>
        <translation>&quot;%1&quot;은(는) 네트워크 연결이 아닙니다. socket://HOST:PORT나 rfc2217://HOST:PORT를 쓰십시오</translation>
    </message>
</context>
<context>
    <name>orvane::TextStatus</name>
    <message>
        <source>Right-click the grid: images, fonts, more · Drop a file · F1: keys</source>
        <translation>격자 오른쪽 클릭: 이미지, 글꼴 등 · 파일 끌어다 놓기 · F1: 키</translation>
    </message>
    <message>
        <source>Typed text goes where the yellow caret is. This counts the columns up to the caret, of the sign&apos;s %1, and says how many columns of typed letters did not fit.</source>
        <translation>입력한 글자는 노란 커서 위치에 들어갑니다. 여기에는 전광판의 %1열 중 커서까지의 열 수와, 입력한 글자 중 들어가지 못한 열 수가 나옵니다.</translation>
    </message>
    <message>
        <source>The grid&apos;s context menu (the right button, or the Menu key) holds every command with its key: undo and redo, Import Image, the font for typing, shifting, inverting, mirroring and centring the picture, Clear, Set, Load and Save. F1 shows the keys and mouse actions. Drop a pattern file or an image on the window to load it.</source>
        <translation>격자의 메뉴(오른쪽 버튼이나 메뉴 키)에 모든 명령이 단축키와 함께 있습니다: 실행 취소와 다시 실행, 이미지 가져오기, 입력용 글꼴, 그림 밀기·반전·뒤집기·가운데로, Clear, Set, Load, Save. F1을 누르면 키와 마우스 동작이 나옵니다. 패턴 파일이나 이미지를 창에 끌어다 놓으면 불러옵니다.</translation>
    </message>
    <message>
        <source>Text in %1: %2 of %3 columns used</source>
        <translation>%1 글꼴 글자: %3열 중 %2열 사용</translation>
    </message>
    <message>
        <source>1 column cut off</source>
        <translation>1열 잘림</translation>
    </message>
    <message>
        <source>%1 columns cut off</source>
        <translation>%1열 잘림</translation>
    </message>
</context>
</TS>

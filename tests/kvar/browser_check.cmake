# Opens the layouts page in headless Chromium and checks that each layout's
# picture is there and drawn: the browser finds as many key elements in the
# page as the layout's own SVG file has, every one of them laid out with a
# size, and a screenshot of the page is taken into the build folder.
#
#   cmake -DCHROMIUM=... -DDIST=<folder with layouts.html and the SVGs>
#         -DNAMES=stdkeys,progkeys,phonkeys -DWORK=<scratch folder> -P browser_check.cmake

set(flags --headless --no-sandbox --disable-gpu --disable-background-networking
          --disable-component-update --disable-sync --no-first-run --hide-scrollbars)

function(chromium)
  file(REMOVE_RECURSE ${WORK}/profile)  # a fresh profile for every start
  execute_process(
    COMMAND ${CHROMIUM} ${flags} --user-data-dir=${WORK}/profile ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 120)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "chromium ${ARGN} failed (${rc}):\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The page as shipped, with a script at its end that reports what the
# browser laid out: per layout section, its key elements and how many of
# them have a box of real size.
string(REPLACE "," ";" NAMES "${NAMES}")
file(READ ${DIST}/layouts.html page)
string(FIND "${page}" "</body>" end REVERSE)
if(end EQUAL -1)
  message(FATAL_ERROR "${DIST}/layouts.html has no </body>")
endif()
string(SUBSTRING "${page}" 0 ${end} head)
file(WRITE ${WORK}/layouts-probe.html "${head}<script>
const lines = [];
for (const section of document.querySelectorAll('section.layout')) {
  const keys = section.querySelectorAll('svg g.key');
  let drawn = 0;
  for (const key of keys) {
    const box = key.getBBox();
    if (box.width > 10 && box.height > 10) ++drawn;
  }
  const svg = section.querySelector('svg').getBoundingClientRect();
  lines.push(section.id + ' keys=' + keys.length + ' drawn=' + drawn + ' width=' + Math.round(svg.width));
}
const pre = document.createElement('pre');
pre.id = 'kvar-probe';
pre.textContent = lines.join(' ') + ' page-height=' + document.documentElement.scrollHeight;
document.body.appendChild(pre);
</script>
</body>
</html>
")
chromium(--dump-dom file://${WORK}/layouts-probe.html)
if(NOT out MATCHES "<pre id=\"kvar-probe\">([^<]*)</pre>")
  message(FATAL_ERROR "the probe did not run; the browser showed:\n${out}")
endif()
set(report "${CMAKE_MATCH_1}")
message(STATUS "Chromium laid out: ${report}")

list(LENGTH NAMES expected)
string(REGEX MATCHALL "[a-z]+ keys=" sections "${report}")
list(LENGTH sections found)
if(NOT found EQUAL expected)
  message(FATAL_ERROR "expected ${expected} layout sections, the browser found ${found}: ${report}")
endif()
foreach(name IN LISTS NAMES)
  file(READ ${DIST}/${name}.svg svg)
  string(REGEX MATCHALL "<g class=\"key" keys "${svg}")
  list(LENGTH keys count)
  if(count LESS 60)
    message(FATAL_ERROR "${name}.svg holds only ${count} keys")
  endif()
  if(NOT report MATCHES "${name} keys=${count} drawn=${count} width=([0-9]+)" OR CMAKE_MATCH_1 LESS 500)
    message(FATAL_ERROR "${name}: expected ${count} keys, all drawn, in a picture 500 px wide or more; "
                        "the browser laid out: ${report}")
  endif()
endforeach()

# A screenshot of the whole page as shipped.
if(NOT report MATCHES "page-height=([0-9]+)")
  message(FATAL_ERROR "the probe reported no page height: ${report}")
endif()
set(width 900)
math(EXPR height "${CMAKE_MATCH_1} + 40")
file(REMOVE ${WORK}/layouts.png)
chromium(--window-size=${width},${height} --screenshot=${WORK}/layouts.png file://${DIST}/layouts.html)
if(NOT EXISTS ${WORK}/layouts.png)
  message(FATAL_ERROR "chromium wrote no screenshot")
endif()
file(SIZE ${WORK}/layouts.png size)
file(READ ${WORK}/layouts.png header LIMIT 24 HEX)
string(SUBSTRING "${header}" 0 16 signature)
string(SUBSTRING "${header}" 32 8 shot_width)
string(SUBSTRING "${header}" 40 8 shot_height)
math(EXPR shot_width "0x${shot_width}")
math(EXPR shot_height "0x${shot_height}")
# Three keyboards with their characters make a picture that compresses far
# less well than an empty page of the same size.
if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT shot_width EQUAL width
   OR NOT shot_height EQUAL height OR size LESS 50000)
  message(FATAL_ERROR "${WORK}/layouts.png is no ${width} x ${height} picture of the page "
                      "(${shot_width} x ${shot_height}, ${size} bytes)")
endif()
message(STATUS "Screenshot: ${WORK}/layouts.png (${shot_width} x ${shot_height}, ${size} bytes)")

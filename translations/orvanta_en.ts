<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>AtomicFile</name>
    <message>
        <source>Не удалось создать файл &quot;%1&quot;. %2</source>
        <translation>Could not create the file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Это не обычный файл, а устройство, канал или сокет</source>
        <translation>This is not a regular file but a device, a pipe or a socket</translation>
    </message>
</context>
<context>
    <name>BoundedRead</name>
    <message>
        <source>файл &quot;%1&quot;</source>
        <translation>the file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Не удалось открыть %1. %2.</source>
        <translation>Could not open %1. %2.</translation>
    </message>
    <message>
        <source>Не удалось прочитать %1. %2.</source>
        <translation>Could not read %1. %2.</translation>
    </message>
    <message>
        <source>Недостаточно памяти: не удалось прочитать %1.</source>
        <translation>Out of memory: could not read %1.</translation>
    </message>
    <message>
        <source>%1 ГиБ</source>
        <translation>%1 GiB</translation>
    </message>
    <message>
        <source>%1 МиБ</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>%1 КиБ</source>
        <translation>%1 KiB</translation>
    </message>
    <message>
        <source>%1 Б</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>Он больше %1</source>
        <translation>It is larger than %1</translation>
    </message>
    <message>
        <source>Строка %1 длиннее %2</source>
        <translation>Line %1 is longer than %2</translation>
    </message>
</context>
<context>
    <name>CheckReasons</name>
    <message>
        <source>недопустимое доменное имя</source>
        <translation>invalid domain name</translation>
    </message>
    <message>
        <source>нет сервера WHOIS для зоны</source>
        <translation>no WHOIS server for the zone</translation>
    </message>
    <message>
        <source>превышен лимит запросов</source>
        <translation>query limit exceeded</translation>
    </message>
    <message>
        <source>лимит запросов</source>
        <translation>query limit</translation>
    </message>
    <message>
        <source>сервер временно не отвечает на запросы</source>
        <translation>the server is temporarily not answering queries</translation>
    </message>
    <message>
        <source>пустой ответ сервера</source>
        <translation>empty answer from the server</translation>
    </message>
    <message>
        <source>ответ сервера — не текст</source>
        <translation>the server&apos;s answer is not text</translation>
    </message>
    <message>
        <source>ответ сервера не распознан</source>
        <translation>the server&apos;s answer was not recognised</translation>
    </message>
    <message>
        <source>нет соединения с сервером</source>
        <translation>no connection to the server</translation>
    </message>
    <message>
        <source>сервер не ответил</source>
        <translation>the server did not answer</translation>
    </message>
    <message>
        <source>соединение оборвано</source>
        <translation>the connection was cut</translation>
    </message>
    <message>
        <source>сервер закрыл соединение, ничего не ответив</source>
        <translation>the server closed the connection without answering</translation>
    </message>
    <message>
        <source>сервер ответил о другом имени</source>
        <translation>the server answered about another name</translation>
    </message>
    <message>
        <source>имя недопустимо в зоне</source>
        <translation>name not allowed in the zone</translation>
    </message>
    <message>
        <source>ответ сервера слишком длинный</source>
        <translation>the server&apos;s answer is too long</translation>
    </message>
    <message>
        <source>ответ сервера длиннее %1 байт</source>
        <translation>the server&apos;s answer is longer than %1 bytes</translation>
    </message>
    <message>
        <source>сервер не найден</source>
        <translation>server not found</translation>
    </message>
    <message>
        <source>сервер отклонил соединение</source>
        <translation>the server refused the connection</translation>
    </message>
    <message>
        <source>сеть недоступна</source>
        <translation>network unreachable</translation>
    </message>
    <message>
        <source>время ожидания сервера истекло</source>
        <translation>timed out waiting for the server</translation>
    </message>
    <message>
        <source>ошибка связи с сервером (код %1)</source>
        <translation>error talking to the server (code %1)</translation>
    </message>
    <message>
        <source>сервер не принял соединение за %1 с</source>
        <translation>the server did not accept the connection within %1 s</translation>
    </message>
    <message>
        <source>сервер не ответил за %1 с</source>
        <translation>the server did not answer within %1 s</translation>
    </message>
    <message>
        <source>сервер не закончил ответ за %1 с</source>
        <translation>the server did not finish its answer within %1 s</translation>
    </message>
    <message>
        <source>ошибка обмена с RDAP-сервером</source>
        <translation>error talking to the RDAP server</translation>
    </message>
    <message>
        <source>RDAP-сервер ответил ошибкой</source>
        <translation>the RDAP server answered with an error</translation>
    </message>
    <message>
        <source>RDAP-сервер ответил кодом %1</source>
        <translation>the RDAP server answered with status %1</translation>
    </message>
    <message>
        <source>ответ RDAP-сервера — не JSON</source>
        <translation>the RDAP server&apos;s answer is not JSON</translation>
    </message>
    <message>
        <source>ответ RDAP-сервера — не RDAP</source>
        <translation>the RDAP server&apos;s answer is not RDAP</translation>
    </message>
    <message>
        <source>тип «%1»</source>
        <translation>type &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ответ RDAP-сервера — не сведения о домене</source>
        <translation>the RDAP server&apos;s answer is not a domain record</translation>
    </message>
    <message>
        <source>ответ RDAP-сервера — не сообщение RDAP об ошибке</source>
        <translation>the RDAP server&apos;s answer is not an RDAP error message</translation>
    </message>
    <message>
        <source>пустой ответ RDAP-сервера без указанной длины</source>
        <translation>empty answer from the RDAP server without a stated length</translation>
    </message>
    <message>
        <source>RDAP-сервер ответил о другом имени</source>
        <translation>the RDAP server answered about another name</translation>
    </message>
    <message>
        <source>ответ не от сервера реестра</source>
        <translation>the answer is not from the registry&apos;s server</translation>
    </message>
    <message>
        <source>зарезервировано реестром</source>
        <translation>reserved by the registry</translation>
    </message>
    <message>
        <source>неверный адрес RDAP-сервера</source>
        <translation>invalid RDAP server address</translation>
    </message>
    <message>
        <source>недопустимое перенаправление</source>
        <translation>redirect not allowed</translation>
    </message>
    <message>
        <source>%1: сервер просит подождать %2 с</source>
        <translation>%1: the server asks to wait %2 s</translation>
    </message>
    <message>
        <source>делегирован в DNS</source>
        <translation>delegated in DNS</translation>
    </message>
    <message>
        <source>не удалось получить PR и ТИЦ</source>
        <translation>could not fetch PR and TIC</translation>
    </message>
    <message>
        <source>ответ сервера указывает и длину, и блочную передачу</source>
        <translation>the server&apos;s answer gives both a length and chunked transfer</translation>
    </message>
    <message>
        <source>длина ответа сервера противоречива</source>
        <translation>the server&apos;s answer has conflicting lengths</translation>
    </message>
    <message>
        <source>перенаправление на недопустимый адрес %1</source>
        <translation>redirect to an invalid address %1</translation>
    </message>
    <message>
        <source>перенаправление с защищенного соединения на незащищенное: %1</source>
        <translation>redirect from a secure connection to an insecure one: %1</translation>
    </message>
    <message>
        <source>перенаправление на локальный адрес %1</source>
        <translation>redirect to a local address %1</translation>
    </message>
    <message>
        <source>перенаправление на другой сервер: %1</source>
        <translation>redirect to another server: %1</translation>
    </message>
    <message>
        <source>неверный адрес %1</source>
        <translation>invalid address %1</translation>
    </message>
    <message>
        <source>защищенное соединение (TLS) недоступно</source>
        <translation>secure connections (TLS) are not available</translation>
    </message>
    <message>
        <source>не удалось записать ответ сервера: %1</source>
        <translation>could not store the server&apos;s answer: %1</translation>
    </message>
    <message>
        <source>сервер %1 отклонил соединение</source>
        <translation>the server %1 refused the connection</translation>
    </message>
    <message>
        <source>сервер %1 не найден</source>
        <translation>server %1 not found</translation>
    </message>
    <message>
        <source>ответ сервера оборван</source>
        <translation>the server&apos;s answer was cut short</translation>
    </message>
    <message>
        <source>не удалось установить защищенное соединение с %1</source>
        <translation>could not establish a secure connection to %1</translation>
    </message>
    <message>
        <source>ошибка сертификата сервера: %1</source>
        <translation>server certificate error: %1</translation>
    </message>
    <message>
        <source>ошибка связи с сервером %1: %2</source>
        <translation>error talking to the server %1: %2</translation>
    </message>
    <message>
        <source>слишком много перенаправлений</source>
        <translation>too many redirects</translation>
    </message>
    <message>
        <source>Слишком много перенаправлений при запросе PR и ТИЦ для %1.</source>
        <translation>Too many redirects fetching PR and TIC for %1.</translation>
    </message>
    <message>
        <source>Не удалось получить PR и ТИЦ для %1: %2</source>
        <translation>Could not fetch PR and TIC for %1: %2</translation>
    </message>
    <message>
        <source>Сервер PR и ТИЦ ответил кодом %1 на запрос для %2.</source>
        <translation>The PR and TIC server answered with status %1 for %2.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>orvanta-cli: стандартный вывод: %1</source>
        <translation>orvanta-cli: standard output: %1</translation>
    </message>
    <message>
        <source>Подробнее: orvanta-cli --help</source>
        <translation>More: orvanta-cli --help</translation>
    </message>
    <message>
        <source>Остановлено; ничего не записано.</source>
        <translation>Stopped; nothing written.</translation>
    </message>
    <message>
        <source>%1 [д/н] </source>
        <translation>%1 [y/n] </translation>
    </message>
    <message>
        <source>не указан файл слов, а стандартный ввод — терминал</source>
        <translation>no keyword file given, and standard input is a terminal</translation>
    </message>
    <message>
        <source>Для продолжения, нужно ввести доменные имена для проверки</source>
        <translation>To continue, enter the domain names to check</translation>
    </message>
    <message>
        <source>Для продолжения, нужно ввести слова для генерации</source>
        <translation>To continue, enter the keywords to build names from</translation>
    </message>
    <message>
        <source>будет создано %1 доменных имен; чтобы продолжить, укажите --yes</source>
        <translation>%1 domain names would be built; give --yes to continue</translation>
    </message>
    <message>
        <source>orvanta-cli: не удалось записать результаты в базу %1: %2.</source>
        <translation>orvanta-cli: could not write the results to the store %1: %2.</translation>
    </message>
    <message>
        <source>Остановлено; записаны результаты, полученные до остановки.</source>
        <translation>Stopped; the results obtained before the stop were written.</translation>
    </message>
    <message>
        <source>Не удалось проверить на занятость доменных имен: %1.</source>
        <translation>Domain names whose availability could not be checked: %1.</translation>
    </message>
    <message>
        <source>Не удалось получить PR и ТИЦ для доменных имен: %1.</source>
        <translation>Domain names whose PR and TIC could not be fetched: %1.</translation>
    </message>
</context>
<context>
    <name>CliInputs</name>
    <message>
        <source>стандартный ввод</source>
        <translation>standard input</translation>
    </message>
</context>
<context>
    <name>CliOptions</name>
    <message>
        <source>Использование: orvanta-cli [параметры] [ФАЙЛ_СЛОВ]
               orvanta-cli [параметры] --names ФАЙЛ_ИМЕН

Составляет доменные имена из ключевых слов (по одному в строке) во всех или в выбранных зонах,
при желании проверяет их занятость (сначала через DNS, затем через RDAP, где его предлагает реестр,
иначе через WHOIS)
и получает PR и ТИЦ, и сохраняет результаты.
Слова читаются из ФАЙЛА_СЛОВ, а если он не указан или равен &quot;-&quot;, со стандартного ввода.
С --names вместо этого проверяются готовые имена из ФАЙЛА_ИМЕН: строка с зоной (redcat.com) —
в своей зоне, строка без зоны (redcat) — в каждой зоне; строка, которая не является доменным именем,
никуда не отправляется и попадает в результат с ошибкой &quot;недопустимое доменное имя&quot; (код завершения 4).

Параметры:
</source>
        <translation>Usage: orvanta-cli [options] [KEYWORD_FILE]
       orvanta-cli [options] --names NAMES_FILE

Builds domain names from keywords (one a line) in every zone or in the chosen ones,
checks on request whether they are taken (over DNS first, then over RDAP where the registry offers it,
else over WHOIS)
and fetches PR and TIC, and saves the results.
Keywords are read from KEYWORD_FILE, or from standard input when it is not given or is &quot;-&quot;.
With --names the names of NAMES_FILE are checked instead: a line with a zone (redcat.com) in
its zone, a line without a zone (redcat) in each zone; a line that is not a domain name
is sent nowhere and goes into the result failed with &quot;invalid domain name&quot; (exit code 4).

Options:
</translation>
    </message>
    <message>
        <source>
Коды завершения: 0 готово; 1 ошибка в параметрах; 2 не удалось прочитать входной файл;
3 не удалось записать результат; 4 готово, но часть имен не проверена или PR и ТИЦ получены не полностью;
130 остановлено сигналом SIGINT или SIGTERM, 129 — сигналом SIGHUP (остановка во время проверки:
полученные результаты записаны; во время чтения или записи: файл вывода не изменен).
</source>
        <translation>
Exit codes: 0 done; 1 usage error; 2 an input file could not be read;
3 the result could not be written; 4 done, but some names were not checked or PR and TIC are incomplete;
130 stopped by SIGINT or SIGTERM, 129 by SIGHUP (stopped during the checks: the results obtained
are written; during reading or writing: the output file is unchanged).
</translation>
    </message>
    <message>
        <source>сколько ключевых слов в одном имени (по умолчанию 2)</source>
        <translation>how many keywords make one name (default 2)</translation>
    </message>
    <message>
        <source>количество слов должно быть 2, 3 или 4, а не &quot;%1&quot;</source>
        <translation>the word count must be 2, 3 or 4, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ФАЙЛ</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>проверить готовые имена из ФАЙЛА (по одному в строке; &quot;-&quot; — стандартный ввод)
вместо имен из ключевых слов</source>
        <translation>check the names given in FILE (one a line; &quot;-&quot; for standard input)
instead of names built from keywords</translation>
    </message>
    <message>
        <source>пустое имя файла имен</source>
        <translation>empty name of the names file</translation>
    </message>
    <message>
        <source>ЗОНА</source>
        <translation>ZONE</translation>
    </message>
    <message>
        <source>зона (можно повторять; порядок сохраняется); без него все зоны списка</source>
        <translation>a zone (may be repeated; order is kept); without it every zone of the list</translation>
    </message>
    <message>
        <source>список зон вместо first.dat пользователя</source>
        <translation>a zone list instead of the user&apos;s first.dat</translation>
    </message>
    <message>
        <source>также имена через дефис (red-cat рядом с redcat)</source>
        <translation>also hyphenated names (red-cat beside redcat)</translation>
    </message>
    <message>
        <source>также имена с каждым префиксом из ФАЙЛА (по одному в строке): myredcat</source>
        <translation>also names with each prefix of FILE (one a line): myredcat</translation>
    </message>
    <message>
        <source>пустое имя файла префиксов</source>
        <translation>empty name of the prefixes file</translation>
    </message>
    <message>
        <source>также имена с каждым суффиксом из ФАЙЛА (по одному в строке): redcatshop</source>
        <translation>also names with each suffix of FILE (one a line): redcatshop</translation>
    </message>
    <message>
        <source>пустое имя файла суффиксов</source>
        <translation>empty name of the suffixes file</translation>
    </message>
    <message>
        <source>в зонах, принимающих только латиницу (по правилам зон), писать русские
слова латиницей по таблице translit.dat пользователя</source>
        <translation>in zones that take Latin letters only (by the zone rules), spell Russian
words in Latin by the user&apos;s translit.dat table</translation>
    </message>
    <message>
        <source>только имена не длиннее N символов (от 1 до 63)</source>
        <translation>only names of at most N characters (1 to 63)</translation>
    </message>
    <message>
        <source>длина имени должна быть от 1 до %1, а не &quot;%2&quot;</source>
        <translation>the name length must be from 1 to %1, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>список серверов WHOIS вместо whois.dat пользователя</source>
        <translation>a WHOIS server list instead of the user&apos;s whois.dat</translation>
    </message>
    <message>
        <source>проверить занятость имен: имя, делегированное в DNS, занято; об остальных
спросить реестр — через RDAP в зонах из списка серверов RDAP, иначе через WHOIS</source>
        <translation>check whether the names are taken: a name delegated in DNS is taken; ask the
registry about the rest, over RDAP in zones of the RDAP server list, else over WHOIS</translation>
    </message>
    <message>
        <source>получить PR и ТИЦ каждого имени</source>
        <translation>fetch PR and TIC of each name</translation>
    </message>
    <message>
        <source>ПОРТ</source>
        <translation>PORT</translation>
    </message>
    <message>
        <source>порт серверов WHOIS (по умолчанию 43)</source>
        <translation>port of the WHOIS servers (default 43)</translation>
    </message>
    <message>
        <source>неверный порт &quot;%1&quot;</source>
        <translation>invalid port &quot;%1&quot;</translation>
    </message>
    <message>
        <source>ограничения скорости серверов вместо limits.dat пользователя
(строки СЕРВЕР:ЗАПРОСОВ:СЕКУНД, * — для остальных серверов)</source>
        <translation>server rate limits instead of the user&apos;s limits.dat
(lines SERVER:QUERIES:SECONDS, * for every other server)</translation>
    </message>
    <message>
        <source>какие буквы допустимы в каждой зоне, вместо zone-scripts.dat пользователя
(строки ЗОНА:ПИСЬМЕННОСТИ, например ru:latin)</source>
        <translation>which letters each zone takes, instead of the user&apos;s zone-scripts.dat
(lines ZONE:SCRIPTS, such as ru:latin)</translation>
    </message>
    <message>
        <source>список серверов RDAP (формат IANA, RFC 9224) вместо rdap.json пользователя</source>
        <translation>an RDAP server list (IANA format, RFC 9224) instead of the user&apos;s rdap.json</translation>
    </message>
    <message>
        <source>пустое имя файла списка серверов RDAP</source>
        <translation>empty name of the RDAP server list file</translation>
    </message>
    <message>
        <source>проверять все зоны только через WHOIS</source>
        <translation>check every zone over WHOIS only</translation>
    </message>
    <message>
        <source>АДРЕС</source>
        <translation>ADDRESS</translation>
    </message>
    <message>
        <source>сервер DNS, которого спрашивать первым: IP-АДРЕС, IP-АДРЕС:ПОРТ или [IPV6]:ПОРТ
(по умолчанию системные серверы из /etc/resolv.conf)</source>
        <translation>the DNS server to ask first: IP-ADDRESS, IP-ADDRESS:PORT or [IPV6]:PORT
(default: the system&apos;s servers from /etc/resolv.conf)</translation>
    </message>
    <message>
        <source>неверный адрес сервера DNS &quot;%1&quot;</source>
        <translation>invalid DNS server address &quot;%1&quot;</translation>
    </message>
    <message>
        <source>не спрашивать DNS: о каждом имени спрашивать реестр</source>
        <translation>do not ask DNS: ask the registry about every name</translation>
    </message>
    <message>
        <source>не спрашивать снова об именах, признанных свободными или занятыми
в прежнем выводе -f json (ФАЙЛ), а взять их ответы оттуда</source>
        <translation>do not ask again about names found free or taken in an earlier
-f json output (FILE), take their answers from there</translation>
    </message>
    <message>
        <source>СРОК</source>
        <translation>AGE</translation>
    </message>
    <message>
        <source>не спрашивать снова об именах, признанных занятыми не раньше чем СРОК
назад, а взять ответ из базы результатов (по умолчанию 7d; 0 — спрашивать
всегда; СРОК — число с единицей s, m, h или d)</source>
        <translation>do not ask again about names found taken at most AGE ago, take the
answer from the results store (default 7d; 0 always asks;
AGE is a number with the unit s, m, h or d)</translation>
    </message>
    <message>
        <source>то же для имен, признанных свободными (по умолчанию 1h)</source>
        <translation>the same for names found free (default 1h)</translation>
    </message>
    <message>
        <source>база результатов проверок вместо verdicts.sqlite в папке данных</source>
        <translation>a results store instead of verdicts.sqlite in the data folder</translation>
    </message>
    <message>
        <source>не читать и не записывать базу результатов проверок</source>
        <translation>neither read nor write the results store</translation>
    </message>
    <message>
        <source>ФОРМАТ</source>
        <translation>FORMAT</translation>
    </message>
    <message>
        <source>export-csv (по умолчанию), export-text, report-csv, report-text, report-html,
json (JSON Lines: по объекту на имя с полями name, zone, status, reason,
server, via, checked, pr, tic)</source>
        <translation>export-csv (default), export-text, report-csv, report-text, report-html,
json (JSON Lines: an object a name with the fields name, zone, status, reason,
server, via, checked, pr, tic)</translation>
    </message>
    <message>
        <source>неизвестный формат &quot;%1&quot;</source>
        <translation>unknown format &quot;%1&quot;</translation>
    </message>
    <message>
        <source>куда записать результат (по умолчанию стандартный вывод)</source>
        <translation>where to write the result (default: standard output)</translation>
    </message>
    <message>
        <source>пустое имя выходного файла</source>
        <translation>empty name of the output file</translation>
    </message>
    <message>
        <source>только вывести количество имен</source>
        <translation>only print the number of names</translation>
    </message>
    <message>
        <source>не спрашивать подтверждения для более чем 2000000 имен</source>
        <translation>do not ask for confirmation of more than 2000000 names</translation>
    </message>
    <message>
        <source>эта справка</source>
        <translation>this help</translation>
    </message>
    <message>
        <source>версия программы</source>
        <translation>the program&apos;s version</translation>
    </message>
    <message>
        <source>параметру %1 нужно значение</source>
        <translation>the option %1 needs a value</translation>
    </message>
    <message>
        <source>параметр %1 не принимает значения</source>
        <translation>the option %1 takes no value</translation>
    </message>
    <message>
        <source>неизвестный параметр &quot;%1&quot;</source>
        <translation>unknown option &quot;%1&quot;</translation>
    </message>
    <message>
        <source>лишний аргумент &quot;%1&quot;</source>
        <translation>unexpected argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>параметры --rdap-bootstrap и --no-rdap исключают друг друга</source>
        <translation>the options --rdap-bootstrap and --no-rdap exclude each other</translation>
    </message>
    <message>
        <source>параметры --dns-server и --no-dns исключают друг друга</source>
        <translation>the options --dns-server and --no-dns exclude each other</translation>
    </message>
    <message>
        <source>файл слов и параметр --names исключают друг друга</source>
        <translation>a keyword file and the option --names exclude each other</translation>
    </message>
    <message>
        <source>параметры %1 и --names исключают друг друга</source>
        <translation>the options %1 and --names exclude each other</translation>
    </message>
</context>
<context>
    <name>CliOutput</name>
    <message>
        <source>файл вывода %1 — тот же файл, что и входной файл %2; укажите другой файл вывода</source>
        <translation>the output file %1 is the same file as the input file %2; give another output file</translation>
    </message>
    <message>
        <source>файл вывода %1 — тот же файл, что и стандартный ввод; укажите другой файл вывода</source>
        <translation>the output file %1 is the same file as standard input; give another output file</translation>
    </message>
    <message>
        <source>стандартный вывод: %1</source>
        <translation>standard output: %1</translation>
    </message>
    <message>
        <source>Остановлено во время записи; стандартный вывод оборван.</source>
        <translation>Stopped while writing; standard output cut short.</translation>
    </message>
    <message>
        <source>Остановлено во время записи; файл %1 оставлен как был.</source>
        <translation>Stopped while writing; the file %1 was left as it was.</translation>
    </message>
    <message>
        <source>Остановлено во время записи; файл %1 не создан.</source>
        <translation>Stopped while writing; the file %1 was not created.</translation>
    </message>
    <message>
        <source>Недостаточно памяти: результаты не записаны.</source>
        <translation>Out of memory: the results were not written.</translation>
    </message>
</context>
<context>
    <name>CliProgress</name>
    <message>
        <source>осталось примерно %1</source>
        <translation>about %1 left</translation>
    </message>
    <message>
        <source>%1: %2/%3  %4 в секунду  %5</source>
        <translation>%1: %2/%3  %4 a second  %5</translation>
    </message>
</context>
<context>
    <name>CliStore</name>
    <message>
        <source>пустое имя файла базы результатов</source>
        <translation>empty name of the results store file</translation>
    </message>
    <message>
        <source>неверный срок &quot;%1&quot; у параметра %2 (число с единицей s, m, h или d: 30m, 7d)</source>
        <translation>invalid age &quot;%1&quot; of the option %2 (a number with the unit s, m, h or d: 30m, 7d)</translation>
    </message>
    <message>
        <source>параметры --store и --no-store исключают друг друга</source>
        <translation>the options --store and --no-store exclude each other</translation>
    </message>
    <message>
        <source>%1 Проверка идет без нее.</source>
        <translation>%1 The check goes on without it.</translation>
    </message>
</context>
<context>
    <name>DataFiles</name>
    <message>
        <source>Не удалось создать папку &quot;%1&quot;.</source>
        <translation>Could not create the folder &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Не удалось скопировать файл &quot;%1&quot; в папку &quot;%2&quot;. %3</source>
        <translation>Could not copy the file &quot;%1&quot; into the folder &quot;%2&quot;. %3</translation>
    </message>
</context>
<context>
    <name>Durations</name>
    <message>
        <source>%1 с</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 мин %2 с</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 ч %2 мин</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 мин</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 ч</source>
        <translation>%1 h</translation>
    </message>
</context>
<context>
    <name>Generation</name>
    <message>
        <source>Будет создано %1 доменных имен. Это может занять много времени и памяти. Продолжить?</source>
        <translation>%1 domain names will be built. This may take a lot of time and memory. Continue?</translation>
    </message>
    <message>
        <source>Слишком много доменных имен: %1. Уменьшите число ключевых слов или зон.</source>
        <translation>Too many domain names: %1. Use fewer keywords or zones.</translation>
    </message>
    <message>
        <source>Недостаточно памяти для %1 доменных имен.</source>
        <translation>Not enough memory for %1 domain names.</translation>
    </message>
</context>
<context>
    <name>Interruption</name>
    <message>
        <source>Прервано сигналом.</source>
        <translation>Interrupted by a signal.</translation>
    </message>
</context>
<context>
    <name>ListFiles</name>
    <message>
        <source>Не удалось сохранить файл &quot;%1&quot;. %2</source>
        <translation>Could not save the file &quot;%1&quot;. %2</translation>
    </message>
</context>
<context>
    <name>OpenDocument</name>
    <message>
        <source>Не удалось открыть страницу в браузере:
%1
Возможно, в системе не задан браузер по умолчанию.</source>
        <translation>Could not open the page in a browser:
%1
Perhaps no default browser is set.</translation>
    </message>
</context>
<context>
    <name>RdapBootstrap</name>
    <message>
        <source>это не список серверов RDAP: %1</source>
        <translation>this is not an RDAP server list: %1</translation>
    </message>
    <message>
        <source>в записи %1 адрес «%2» — не адрес http или https</source>
        <translation>in entry %1 the address &quot;%2&quot; is not an http or https address</translation>
    </message>
    <message>
        <source>в записи %1 адрес «%2» содержит лишнее (запрос, фрагмент или имя пользователя)</source>
        <translation>in entry %1 the address &quot;%2&quot; has extra parts (a query, a fragment or a user name)</translation>
    </message>
    <message>
        <source>ошибка JSON в позиции %1 (%2)</source>
        <translation>JSON error at offset %1 (%2)</translation>
    </message>
    <message>
        <source>нет массива &quot;services&quot;</source>
        <translation>no &quot;services&quot; array</translation>
    </message>
    <message>
        <source>запись %1 не состоит из списка зон и списка адресов</source>
        <translation>entry %1 is not a list of zones and a list of addresses</translation>
    </message>
    <message>
        <source>у записи %1 нет адреса http или https</source>
        <translation>entry %1 has no http or https address</translation>
    </message>
    <message>
        <source>в записи %1 неверная зона</source>
        <translation>entry %1 has an invalid zone</translation>
    </message>
    <message>
        <source>Файл %1: %2.</source>
        <translation>File %1: %2.</translation>
    </message>
</context>
<context>
    <name>ResumeFile</name>
    <message>
        <source>%1, строка %2</source>
        <translation>%1, line %2</translation>
    </message>
    <message>
        <source>%1: последняя строка оборвана, она пропущена.</source>
        <translation>%1: the last line is cut short and was skipped.</translation>
    </message>
    <message>
        <source>%1: это не строка вывода -f json.</source>
        <translation>%1: this is not a line of -f json output.</translation>
    </message>
</context>
<context>
    <name>SaveReport</name>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>CSV таблица (*.csv)</source>
        <translation>CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Текстовые документы (*.txt)</source>
        <translation>Text documents (*.txt)</translation>
    </message>
    <message>
        <source>Интернет страницы (*.htm)</source>
        <translation>Web pages (*.htm)</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>На устройстве нет свободного места</source>
        <translation>No space left on the device</translation>
    </message>
    <message>
        <source>Превышен допустимый размер файла</source>
        <translation>File size limit exceeded</translation>
    </message>
    <message>
        <source>Превышена дисковая квота</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>Доступ запрещен</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>Файловая система доступна только для чтения</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>Нет такого файла или папки</source>
        <translation>No such file or folder</translation>
    </message>
    <message>
        <source>Часть пути не является папкой</source>
        <translation>A part of the path is not a folder</translation>
    </message>
    <message>
        <source>Это папка, а не файл</source>
        <translation>This is a folder, not a file</translation>
    </message>
    <message>
        <source>Символические ссылки образуют петлю</source>
        <translation>Symbolic links form a loop</translation>
    </message>
    <message>
        <source>Слишком длинное имя файла</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>Ошибка ввода-вывода</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Читающая сторона канала закрыта</source>
        <translation>The reading end of the pipe is closed</translation>
    </message>
    <message>
        <source>Открыто слишком много файлов</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>Файл занят</source>
        <translation>File busy</translation>
    </message>
    <message>
        <source>Неверный дескриптор файла</source>
        <translation>Bad file descriptor</translation>
    </message>
    <message>
        <source>Недопустимый аргумент</source>
        <translation>Invalid argument</translation>
    </message>
    <message>
        <source>Нет такого устройства или адреса</source>
        <translation>No such device or address</translation>
    </message>
    <message>
        <source>Нет такого устройства</source>
        <translation>No such device</translation>
    </message>
    <message>
        <source>Недостаточно памяти</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>Неверный адрес</source>
        <translation>Bad address</translation>
    </message>
    <message>
        <source>Недопустимое перемещение в канале или устройстве</source>
        <translation>Illegal seek on a pipe or device</translation>
    </message>
    <message>
        <source>Соединение сброшено другой стороной</source>
        <translation>Connection reset by peer</translation>
    </message>
    <message>
        <source>Время ожидания истекло</source>
        <translation>Timed out</translation>
    </message>
    <message>
        <source>Системная ошибка %1</source>
        <translation>System error %1</translation>
    </message>
    <message>
        <source>Не удалось записать данные.</source>
        <translation>Could not write the data.</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <source>Недостаточно памяти: действие не выполнено.</source>
        <translation>Out of memory: the action was not done.</translation>
    </message>
    <message>
        <source>Неизвестная ошибка.</source>
        <translation>Unknown error.</translation>
    </message>
</context>
<context>
    <name>TFormAbout</name>
    <message>
        <source>Версия программы</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Авторские права</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>ORVANTA - многофункциональная программа для подбора и проверки доменных имен. С ее помощью подобрать имя для сайта не только просто, но дополнительно можно сразу проверить его занятость, проверить параметры PR и ТИЦ, совершив всего пару кликов мышкой.</source>
        <translation>ORVANTA is a versatile program for picking and checking domain names. It makes finding a name for a site easy, and with a couple of mouse clicks you can also check at once whether it is taken and look up its PR and TIC figures.</translation>
    </message>
    <message>
        <source>Сайт программы</source>
        <translation>Program website</translation>
    </message>
    <message>
        <source>Техническая поддержка</source>
        <translation>Technical support</translation>
    </message>
</context>
<context>
    <name>TFormSettings</name>
    <message>
        <source>Текстовые документы (*.txt)</source>
        <translation>Text documents (*.txt)</translation>
    </message>
    <message>
        <source>Имя, проверенное не раньше этого срока, не проверяется заново: ответ берется из базы результатов. 0 — проверять всегда</source>
        <translation>A name checked no longer ago than this is not checked again: the answer is taken from the results store. 0 always checks</translation>
    </message>
    <message>
        <source>Не удалось сохранить настройки: папка &quot;%1&quot; недоступна.</source>
        <translation>Could not save the settings: the folder &quot;%1&quot; is not available.</translation>
    </message>
    <message>
        <source>Основные настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Настройки программы:</source>
        <translation>Program settings:</translation>
    </message>
    <message>
        <source>Проверять на &amp;доступность домены после генерации</source>
        <translation>Check domain &amp;availability after generation</translation>
    </message>
    <message>
        <source>Показывать со&amp;веты при старте программы</source>
        <translation>Show &amp;tips at start-up</translation>
    </message>
    <message>
        <source>Автоматически проверять &amp;PR и ТИЦ после генерации</source>
        <translation>Fetch &amp;PR and TIC after generation</translation>
    </message>
    <message>
        <source>Проверять через &amp;RDAP, где возможно</source>
        <translation>Check over &amp;RDAP where possible</translation>
    </message>
    <message>
        <source>Зоны, для которых в файле rdap.json указан сервер RDAP, проверяются через RDAP, остальные — через WHOIS</source>
        <translation>Zones with an RDAP server in rdap.json are checked over RDAP, the others over WHOIS</translation>
    </message>
    <message>
        <source>Сначала проверять через &amp;DNS</source>
        <translation>Check over &amp;DNS first</translation>
    </message>
    <message>
        <source>Имена, делегированные в DNS, считаются занятыми без запроса к реестру; остальные проверяются через RDAP или WHOIS</source>
        <translation>Names delegated in DNS count as taken without asking the registry; the others are checked over RDAP or WHOIS</translation>
    </message>
    <message>
        <source>Проверять обновления при &amp;запуске</source>
        <translation>Check for &amp;updates at start-up</translation>
    </message>
    <message>
        <source>Вскоре после запуска программа узнает на своем сайте, нет ли новой версии</source>
        <translation>Shortly after start-up the program asks its website whether there is a new version</translation>
    </message>
    <message>
        <source>Ответ «занят» действует, дней:</source>
        <translation>&quot;Taken&quot; answer holds, days:</translation>
    </message>
    <message>
        <source>ответ «свободен», минут:</source>
        <translation>&quot;free&quot; answer, minutes:</translation>
    </message>
    <message>
        <source>&amp;Язык интерфейса:</source>
        <translation>Interface &amp;language:</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>As in the system</translation>
    </message>
    <message>
        <source>Язык меню, окон и сообщений; действует со следующего запуска программы</source>
        <translation>The language of menus, windows and messages; takes effect at the next start of the program</translation>
    </message>
    <message>
        <source>WHOIS сервера:</source>
        <translation>WHOIS servers:</translation>
    </message>
    <message>
        <source>&amp;Открыть</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>Со&amp;хранить</source>
        <translation>Sa&amp;ve</translation>
    </message>
    <message>
        <source>Доменные зоны:</source>
        <translation>Domain zones:</translation>
    </message>
    <message>
        <source>Откр&amp;ыть</source>
        <translation>O&amp;pen</translation>
    </message>
    <message>
        <source>Сохр&amp;анить</source>
        <translation>Sav&amp;e</translation>
    </message>
    <message>
        <source>Префиксы имен:</source>
        <translation>Name prefixes:</translation>
    </message>
    <message>
        <source>Отк&amp;рыть</source>
        <translation>Ope&amp;n</translation>
    </message>
    <message>
        <source>Сохран&amp;ить</source>
        <translation>Save &amp;prefixes</translation>
    </message>
    <message>
        <source>Суффиксы имен:</source>
        <translation>Name suffixes:</translation>
    </message>
    <message>
        <source>От&amp;крыть</source>
        <translation>Open s&amp;uffixes</translation>
    </message>
    <message>
        <source>Сохра&amp;нить</source>
        <translation>Save su&amp;ffixes</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Отм&amp;ена</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Нет доменных зон</source>
        <translation>No domain zones</translation>
    </message>
    <message>
        <source>Список доменных зон не может быть пустым</source>
        <translation>The domain zone list cannot be empty</translation>
    </message>
    <message>
        <source>Нет WHOIS</source>
        <translation>No WHOIS</translation>
    </message>
    <message>
        <source>Список сервисов WHOIS не может быть пустым</source>
        <translation>The WHOIS server list cannot be empty</translation>
    </message>
</context>
<context>
    <name>TFormUserAnswer</name>
    <message>
        <source>Советы пользователям...</source>
        <translation>Tips...</translation>
    </message>
    <message>
        <source>Знаете ли вы... ?</source>
        <translation>Did you know...?</translation>
    </message>
    <message>
        <source>Больше &amp;не показывать</source>
        <translation>&amp;Do not show again</translation>
    </message>
    <message>
        <source>Можно будет включить в настройках</source>
        <translation>You can turn them on again in the settings</translation>
    </message>
    <message>
        <source>&amp;Хочу еще!</source>
        <translation>&amp;More!</translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Не удалось загрузить рисунок «%1»: %2</source>
        <translation>Could not load the picture &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Не удалось сохранить настройку: папка настроек недоступна.</source>
        <translation>Could not save the setting: the settings folder is not available.</translation>
    </message>
    <message>
        <source>Советы не найдены.</source>
        <translation>No tips found.</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Очистить результаты генерации</source>
        <translation>Clear the generated results</translation>
    </message>
    <message>
        <source>Открыть (загрузить) список слов для генерации в программу</source>
        <translation>Open (load) a keyword list to build names from</translation>
    </message>
    <message>
        <source>Сохранение данных в файл</source>
        <translation>Save the data to a file</translation>
    </message>
    <message>
        <source>Основные настройки программы</source>
        <translation>Program settings</translation>
    </message>
    <message>
        <source>Перейти на сайт программы</source>
        <translation>Go to the program&apos;s website</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Количество слов используемых для генерации новых имен</source>
        <translation>Number of keywords used to build new names</translation>
    </message>
    <message>
        <source>2 слова</source>
        <translation>2 words</translation>
    </message>
    <message>
        <source>3 слова</source>
        <translation>3 words</translation>
    </message>
    <message>
        <source>4 слова</source>
        <translation>4 words</translation>
    </message>
    <message>
        <source>Готовые имена</source>
        <translation>Names as given</translation>
    </message>
    <message>
        <source>Домены для генерации</source>
        <translation>Zones to build names in</translation>
    </message>
    <message>
        <source>Начать &amp;генерацию</source>
        <translation>Start &amp;generation</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Начать генерацию</source>
        <translation>&amp;Start generation</translation>
    </message>
    <message>
        <source>&amp;Открыть список слов</source>
        <translation>&amp;Open keyword list</translation>
    </message>
    <message>
        <source>&amp;Сохранить список слов</source>
        <translation>&amp;Save keyword list</translation>
    </message>
    <message>
        <source>О&amp;чистить результаты подбора</source>
        <translation>&amp;Clear results</translation>
    </message>
    <message>
        <source>&amp;Экспорт доменов</source>
        <translation>&amp;Export domains</translation>
    </message>
    <message>
        <source>Таблица &amp;CSV</source>
        <translation>&amp;CSV table</translation>
    </message>
    <message>
        <source>&amp;Текстовый документ</source>
        <translation>&amp;Text document</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Настройки</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>&amp;Основные настройки</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>&amp;Отчет</source>
        <translation>&amp;Report</translation>
    </message>
    <message>
        <source>Сохранить &amp;текстовый отчет</source>
        <translation>Save &amp;text report</translation>
    </message>
    <message>
        <source>Сохранить отчет в &amp;HTML</source>
        <translation>Save report as &amp;HTML</translation>
    </message>
    <message>
        <source>Сохранить отчет в &amp;CSV</source>
        <translation>Save report as &amp;CSV</translation>
    </message>
    <message>
        <source>&amp;Проверить непроверенные заново</source>
        <translation>Check &amp;unchecked again</translation>
    </message>
    <message>
        <source>&amp;История</source>
        <translation>Hi&amp;story</translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Сайт &amp;программы</source>
        <translation>Program &amp;website</translation>
    </message>
    <message>
        <source>Предложить &amp;новую функцию</source>
        <translation>Suggest a &amp;new feature</translation>
    </message>
    <message>
        <source>&amp;Техническая поддержка клиентов</source>
        <translation>Technical &amp;support</translation>
    </message>
    <message>
        <source>&amp;О программе</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>&amp;Копировать имена</source>
        <translation>&amp;Copy names</translation>
    </message>
    <message>
        <source>&amp;Сортировать по этому столбцу</source>
        <translation>&amp;Sort by this column</translation>
    </message>
    <message>
        <source>Проверить &amp;заново</source>
        <translation>Check &amp;again</translation>
    </message>
    <message>
        <source>&amp;Очистить список</source>
        <translation>C&amp;lear list</translation>
    </message>
    <message>
        <source>Сохранение результатов</source>
        <translation>Saving results</translation>
    </message>
    <message>
        <source>Сохранить в &amp;текстовый документ</source>
        <translation>Save as &amp;text document</translation>
    </message>
    <message>
        <source>Сохранить в CSV &amp;документ</source>
        <translation>Save as CSV &amp;document</translation>
    </message>
    <message>
        <source>Экспорт отчета</source>
        <translation>Report export</translation>
    </message>
    <message>
        <source>В текстовом &amp;формате (TXT)</source>
        <translation>As &amp;plain text (TXT)</translation>
    </message>
    <message>
        <source>В &amp;HTML файл (HTML)</source>
        <translation>As &amp;HTML file (HTML)</translation>
    </message>
    <message>
        <source>В табличном формате (&amp;CSV)</source>
        <translation>As a table (&amp;CSV)</translation>
    </message>
    <message>
        <source>Список имен пуст

Добавить имена из файла?
(двойной клик)</source>
        <translation>The name list is empty

Add names from a file?
(double click)</translation>
    </message>
    <message>
        <source>Список ключевых слов пуст

Добавить ключевые слова из файла?
(двойной клик)</source>
        <translation>The keyword list is empty

Add keywords from a file?
(double click)</translation>
    </message>
    <message>
        <source>Через &amp;дефис</source>
        <translation>With &amp;hyphen</translation>
    </message>
    <message>
        <source>Добавить имена с дефисом между словами: red-cat рядом с redcat</source>
        <translation>Add names with a hyphen between the words: red-cat beside redcat</translation>
    </message>
    <message>
        <source>&amp;Префиксы</source>
        <translation>&amp;Prefixes</translation>
    </message>
    <message>
        <source>Добавить имена с каждым префиксом из списка в настройках: myredcat</source>
        <translation>Add names with each prefix of the list in the settings: myredcat</translation>
    </message>
    <message>
        <source>С&amp;уффиксы</source>
        <translation>S&amp;uffixes</translation>
    </message>
    <message>
        <source>Добавить имена с каждым суффиксом из списка в настройках: redcatshop</source>
        <translation>Add names with each suffix of the list in the settings: redcatshop</translation>
    </message>
    <message>
        <source>&amp;Латиница для русских слов</source>
        <translation>&amp;Latin for Russian words</translation>
    </message>
    <message>
        <source>В зонах, которые принимают только латиницу (например, ru), писать русские слова латиницей по таблице translit.dat: красный + кот = krasnyikot.ru; в зоне рф остается кириллица</source>
        <translation>In zones that take Latin letters only (such as ru), spell Russian words in Latin by the translit.dat table: красный + кот = krasnyikot.ru; the рф zone keeps Cyrillic</translation>
    </message>
    <message>
        <source>Н&amp;е длиннее</source>
        <translation>N&amp;o longer than</translation>
    </message>
    <message>
        <source>Не создавать имена длиннее указанного числа символов (без зоны)</source>
        <translation>Build no names longer than this many characters (without the zone)</translation>
    </message>
    <message>
        <source>Наибольшая длина имени</source>
        <translation>Longest name length</translation>
    </message>
    <message>
        <source>символов</source>
        <translation>characters</translation>
    </message>
    <message>
        <source>Будет создано имен: %1</source>
        <translation>Names to be built: %1</translation>
    </message>
    <message>
        <source>Имен: %1 · свободно %2 · занято %3 · ошибок %4 · не проверено %5</source>
        <translation>Names: %1 · free %2 · taken %3 · failed %4 · unchecked %5</translation>
    </message>
    <message>
        <source>Показано: %1 из %2 · %3</source>
        <translation>Shown: %1 of %2 · %3</translation>
    </message>
    <message>
        <source>Нет имен</source>
        <translation>No names</translation>
    </message>
    <message>
        <source>Для продолжения, нужно ввести доменные имена для проверки</source>
        <translation>To continue, enter the domain names to check</translation>
    </message>
    <message>
        <source>Нет слов</source>
        <translation>No keywords</translation>
    </message>
    <message>
        <source>Для продолжения, нужно ввести слова для генерации</source>
        <translation>To continue, enter the keywords to build names from</translation>
    </message>
    <message>
        <source>Нет доменных зон</source>
        <translation>No domain zones</translation>
    </message>
    <message>
        <source>Для продолжения, нужно выбрать хотя бы одну доменную зону</source>
        <translation>To continue, choose at least one domain zone</translation>
    </message>
    <message>
        <source>Проверка займет около %1. Продолжить?</source>
        <translation>The check will take about %1. Continue?</translation>
    </message>
    <message>
        <source>Остановить проверку? Полученные результаты останутся в таблице.</source>
        <translation>Stop the check? The results obtained stay in the grid.</translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt);;Все файлы (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Текстовые документы (*.txt)</source>
        <translation>Text documents (*.txt)</translation>
    </message>
    <message>
        <source>Результаты проверки не сохранены. Очистить их?</source>
        <translation>The check results are not saved. Clear them?</translation>
    </message>
    <message>
        <source>Не удалось открыть страницу в браузере: возможно, браузер не установлен или не выбран браузер по умолчанию.
Адрес страницы:
%1</source>
        <translation>Could not open the page in a browser: perhaps no browser is installed or no default browser is chosen.
Page address:
%1</translation>
    </message>
    <message>
        <source>Заменить ключевые слова списком из файла?
%1</source>
        <translation>Replace the keywords with the list from the file?
%1</translation>
    </message>
    <message>
        <source>Результаты проверки не сохранены. Закрыть программу без них?</source>
        <translation>The check results are not saved. Close the program without them?</translation>
    </message>
    <message>
        <source>имен: %1</source>
        <translation>names: %1</translation>
    </message>
    <message>
        <source>, свободно: %1, занято: %2, не проверено: %3</source>
        <translation>, free: %1, taken: %2, unchecked: %3</translation>
    </message>
    <message>
        <source>Сохраненных запусков нет</source>
        <translation>No saved runs</translation>
    </message>
    <message>
        <source>Заменить ключевые слова словами этого запуска?</source>
        <translation>Replace the keywords with this run&apos;s keywords?</translation>
    </message>
</context>
<context>
    <name>TNoticeBar</name>
    <message>
        <source>С&amp;качать</source>
        <translation>&amp;Download</translation>
    </message>
    <message>
        <source>Поз&amp;же</source>
        <translation>&amp;Later</translation>
    </message>
</context>
<context>
    <name>TResultsModel</name>
    <message>
        <source>свободен</source>
        <translation>free</translation>
    </message>
    <message>
        <source>занят</source>
        <translation>taken</translation>
    </message>
    <message>
        <source>Не проверен</source>
        <translation>Unchecked</translation>
    </message>
    <message>
        <source>проверено только что</source>
        <translation>checked just now</translation>
    </message>
    <message>
        <source>проверено %1 мин назад</source>
        <translation>checked %1 min ago</translation>
    </message>
    <message>
        <source>проверено %1 ч назад</source>
        <translation>checked %1 h ago</translation>
    </message>
    <message>
        <source>проверено %1 дн назад</source>
        <translation>checked %1 days ago</translation>
    </message>
    <message>
        <source>Доменное имя</source>
        <translation>Domain name</translation>
    </message>
    <message>
        <source>Зона</source>
        <translation>Zone</translation>
    </message>
    <message>
        <source>Занятость</source>
        <translation>Availability</translation>
    </message>
    <message>
        <source>ТИЦ</source>
        <translation>TIC</translation>
    </message>
    <message>
        <source>На странице нет этого показателя</source>
        <translation>The page does not give this figure</translation>
    </message>
</context>
<context>
    <name>TResultsPanel</name>
    <message>
        <source>&amp;Показать:</source>
        <translation>&amp;Show:</translation>
    </message>
    <message>
        <source>все</source>
        <translation>all</translation>
    </message>
    <message>
        <source>свободные</source>
        <translation>free</translation>
    </message>
    <message>
        <source>занятые</source>
        <translation>taken</translation>
    </message>
    <message>
        <source>непроверенные</source>
        <translation>unchecked</translation>
    </message>
    <message>
        <source>Нет данных для отображения...
Введите ключевые слова и нажмите кнопку начала генерации...</source>
        <translation>No data to show...
Enter keywords and press the Start generation button...</translation>
    </message>
</context>
<context>
    <name>TRunProgressPanel</name>
    <message>
        <source>О&amp;тмена</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Остановить проверку; полученные результаты останутся в таблице</source>
        <translation>Stop the check; the results obtained stay in the grid</translation>
    </message>
    <message>
        <source>Обработка данных...</source>
        <translation>Processing data...</translation>
    </message>
    <message>
        <source>Пожалуйста, подождите...</source>
        <translation>Please wait...</translation>
    </message>
    <message>
        <source>%1: %2 из %3</source>
        <translation>%1: %2 of %3</translation>
    </message>
    <message>
        <source>Осталось примерно %1</source>
        <translation>About %1 left</translation>
    </message>
</context>
<context>
    <name>TRunSession</name>
    <message>
        <source>Результаты не удалось записать в базу %1: %2.</source>
        <translation>Could not write the results to the store %1: %2.</translation>
    </message>
    <message>
        <source>Одно или несколько доменных имен не удалось проверить на занятость, возможно сервера whois указанные в настройках не отвечают.</source>
        <translation>One or more domain names could not be checked; perhaps the WHOIS servers in the settings are not answering.</translation>
    </message>
    <message>
        <source>PR и ТИЦ не удалось получить для доменных имен: %1.</source>
        <translation>PR and TIC could not be fetched for domain names: %1.</translation>
    </message>
    <message>
        <source>Получение PR и ТИЦ</source>
        <translation>Fetching PR and TIC</translation>
    </message>
    <message>
        <source>Проверка занятости</source>
        <translation>Checking availability</translation>
    </message>
    <message>
        <source>%1: пауза %2 — %3</source>
        <translation>%1: paused %2 — %3</translation>
    </message>
</context>
<context>
    <name>TSettingsStore</name>
    <message>
        <source>Файл настроек &quot;%1&quot; не может быть использован. %2. Программа работает с настройками по умолчанию и не сохраняет их.</source>
        <translation>The settings file &quot;%1&quot; cannot be used. %2. The program runs on its default settings and does not save them.</translation>
    </message>
    <message>
        <source>Символическая ссылка ведет к несуществующему файлу</source>
        <translation>The symbolic link leads to a file that does not exist</translation>
    </message>
    <message>
        <source>Это не обычный файл, а устройство, канал или сокет</source>
        <translation>This is not a regular file but a device, a pipe or a socket</translation>
    </message>
    <message>
        <source>Не удалось записать настройки в файл &quot;%1&quot;. %2</source>
        <translation>Could not write the settings to the file &quot;%1&quot;. %2</translation>
    </message>
</context>
<context>
    <name>TUpdateCheck</name>
    <message>
        <source>Обновление</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>На сайте доступна новая версия программы (%1)</source>
        <translation>A new version of the program is available on the website (%1)</translation>
    </message>
    <message>
        <source>Вы хотите обновить программу?</source>
        <translation>Do you want to update the program?</translation>
    </message>
    <message>
        <source>Новая версия программы загружена и сохранена в файл:
%1</source>
        <translation>The new version of the program was downloaded and saved to the file:
%1</translation>
    </message>
    <message>
        <source>Не удалось загрузить новую версию программы: %1.</source>
        <translation>Could not download the new version of the program: %1.</translation>
    </message>
</context>
<context>
    <name>TUpdateDownload</name>
    <message>
        <source>не удалось сохранить файл «%1»: %2</source>
        <translation>could not save the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>не удалось создать файл «%1»: %2</source>
        <translation>could not create the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>загрузка не уложилась в %1 с</source>
        <translation>the download took longer than %1 s</translation>
    </message>
    <message>
        <source>не удалось создать папку «%1»</source>
        <translation>could not create the folder &quot;%1&quot;</translation>
    </message>
    <message>
        <source>контрольная сумма SHA-256 в списке обновлений неверна</source>
        <translation>the SHA-256 checksum in the update list is invalid</translation>
    </message>
    <message>
        <source>список обновлений больше 64 КБ</source>
        <translation>the update list is larger than 64 KB</translation>
    </message>
    <message>
        <source>файл программы больше 256 МБ</source>
        <translation>the program file is larger than 256 MB</translation>
    </message>
    <message>
        <source>сервер ответил кодом %1</source>
        <translation>the server answered with status %1</translation>
    </message>
    <message>
        <source>контрольная сумма SHA-256 загруженного файла не совпадает с указанной в списке обновлений, прежний файл оставлен</source>
        <translation>the SHA-256 checksum of the downloaded file does not match the one in the update list, the previous file was kept</translation>
    </message>
</context>
<context>
    <name>TVerdictStore</name>
    <message>
        <source>Не удалось открыть базу результатов проверок %1: не установлен драйвер SQLite для Qt (пакет libqt6sql6-sqlite).</source>
        <translation>Could not open the results store %1: Qt&apos;s SQLite driver is not installed (package libqt6sql6-sqlite).</translation>
    </message>
    <message>
        <source>Не удалось открыть базу результатов проверок %1: %2.</source>
        <translation>Could not open the results store %1: %2.</translation>
    </message>
    <message>
        <source>база занята другой программой</source>
        <translation>the store is held by another program</translation>
    </message>
    <message>
        <source>нет прав на запись</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>ошибка чтения или записи диска</source>
        <translation>disk read or write error</translation>
    </message>
    <message>
        <source>файл поврежден</source>
        <translation>the file is damaged</translation>
    </message>
    <message>
        <source>нет места на диске</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>файл не открывается</source>
        <translation>the file cannot be opened</translation>
    </message>
    <message>
        <source>неизвестная ошибка</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>ошибка SQLite %1</source>
        <translation>SQLite error %1</translation>
    </message>
    <message>
        <source>Не удалось прочитать или записать базу результатов проверок %1: %2.</source>
        <translation>Could not read or write the results store %1: %2.</translation>
    </message>
    <message>
        <source>Не удалось создать папку %1 для базы результатов проверок.</source>
        <translation>Could not create the folder %1 for the results store.</translation>
    </message>
    <message>
        <source>База результатов проверок %1 записана более новой версией программы; она оставлена как есть, а результаты этого запуска в нее не сохраняются.</source>
        <translation>The results store %1 was written by a newer version of the program; it is left as it is, and this run&apos;s results are not saved in it.</translation>
    </message>
    <message>
        <source>База результатов проверок %1 повреждена, и ее не удалось переименовать.</source>
        <translation>The results store %1 is damaged and could not be renamed.</translation>
    </message>
    <message>
        <source>Файл %1 не является базой результатов проверок этой программы; она сохранена как %2, а результаты записываются в новую базу.</source>
        <translation>The file %1 is not this program&apos;s results store; it was kept as %2, and the results go to a new store.</translation>
    </message>
    <message>
        <source>База результатов проверок %1 повреждена; она сохранена как %2, а результаты записываются в новую базу.</source>
        <translation>The results store %1 is damaged; it was kept as %2, and the results go to a new store.</translation>
    </message>
    <message>
        <source>База результатов проверок %1 записана более новой версией программы.</source>
        <translation>The results store %1 was written by a newer version of the program.</translation>
    </message>
</context>
<context>
    <name>TZoneChoice</name>
    <message>
        <source>все</source>
        <translation>all</translation>
    </message>
    <message>
        <source>ни одной</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Зоны не выбраны</source>
        <translation>No zones chosen</translation>
    </message>
    <message>
        <source>Все доменные зоны</source>
        <translation>All domain zones</translation>
    </message>
</context>
</TS>

<doc id="river_town" title="River Town" year="2026">
<p>
<s>
The	the	AT0
river	river	NN1
town	town	NN1
wakes	wake	VVZ
slowly	slowly	AV0
.	.	PUN
</s>
<s>
Fog	fog	NN1
lies	lie	VVZ
on	on	PRP
the	the	AT0
water	water	NN1
until	until	PRP
the	the	AT0
first	first	AV0
boats	boat	NN2
push	push	VVB
out	out	PRP
from	from	PRP
the	the	AT0
pier	pier	NN1
,	,	PUN
and	and	CJC
the	the	AT0
ferryman	ferryman	NN1
calls	call	VVZ
the	the	AT0
names	name	NN2
of	of	PRP
the	the	AT0
villages	village	NN2
he	he	PNP
will	will	VM0
visit	visit	VVI
before	before	PRP
noon	noon	NN1
.	.	PUN
</s>
<s>
Children	child	NN2
run	run	VVB
along	along	PRP
the	the	AT0
bank	bank	NN1
with	with	PRP
their	they	DPS
school	school	NN1
bags	bag	NN2
,	,	PUN
and	and	CJC
the	the	AT0
old	old	AJ0
baker	baker	NN1
opens	open	VVZ
his	he	DPS
shutters	shutter	NN2
to	to	TO0
let	let	VVI
the	the	AT0
smell	smell	NN1
of	of	PRP
warm	warm	AJ0
bread	bread	NN1
into	into	PRP
the	the	AT0
street	street	NN1
.	.	PUN
</s>
</p>
<p>
<s>
In	in	PRP
the	the	AT0
market	market	NN1
square	square	NN1
the	the	AT0
traders	trader	NN2
set	set	VVB
up	up	AV0
their	they	DPS
tables	table	NN2
.	.	PUN
</s>
<s>
One	one	CRD
sells	sell	VVZ
apples	apple	NN2
and	and	CJC
pears	pear	NN2
from	from	PRP
the	the	AT0
hills	hill	NN2
,	,	PUN
another	another	DT0
sells	sell	VVZ
fish	fish	NN1
that	that	CJT
was	be	VBD
caught	catch	VVN
in	in	PRP
the	the	AT0
night	night	NN1
,	,	PUN
and	and	CJC
a	a	AT0
third	third	NN1
sells	sell	VVZ
nothing	nothing	PNP
but	but	CJC
rope	rope	NN1
,	,	PUN
nets	net	NN2
and	and	CJC
small	small	AJ0
iron	iron	AJ0
hooks	hook	NN2
.	.	PUN
</s>
<s>
The	the	AT0
traders	trader	NN2
know	know	VVB
each	each	DT0
other	other	PNP
well	well	AV0
.	.	PUN
</s>
<s>
They	they	PNP
argue	argue	VVB
about	about	PRP
prices	price	NN2
,	,	PUN
about	about	PRP
the	the	AT0
weather	weather	NN1
and	and	CJC
about	about	PRP
the	the	AT0
mayor	mayor	NN1
,	,	PUN
and	and	CJC
then	then	CJC
they	they	PNP
share	share	VVB
their	they	DPS
coffee	coffee	NN1
as	as	PRP
if	if	CJC
nothing	nothing	PNP
had	have	VHD
been	be	VBN
said	say	VVN
.	.	PUN
</s>
</p>
<p>
<s>
At	at	PRP
the	the	AT0
edge	edge	NN1
of	of	PRP
the	the	AT0
town	town	NN1
stands	stand	VVZ
the	the	AT0
mill	mill	NN1
.	.	PUN
</s>
<s>
Its	it	DPS
wheel	wheel	NN1
has	have	VHZ
not	not	AV0
turned	turn	VVN
for	for	PRP
many	many	AJ0
years	year	NN2
,	,	PUN
but	but	CJC
the	the	AT0
building	building	NN1
is	be	VBZ
still	still	AV0
the	the	AT0
tallest	tallest	AJ0
in	in	PRP
the	the	AT0
valley	valley	NN1
.	.	PUN
</s>
<s>
Travellers	traveller	NN2
who	who	PNP
walk	walk	VVB
down	down	PRP
from	from	PRP
the	the	AT0
pass	pass	VVB
see	see	VVB
it	it	PNP
first	first	AV0
,	,	PUN
a	a	AT0
grey	grey	AJ0
tower	tower	NN1
above	above	PRP
the	the	AT0
roofs	roof	NN2
,	,	PUN
and	and	CJC
they	they	PNP
know	know	VVB
that	that	CJT
the	the	AT0
road	road	NN1
will	will	VM0
soon	soon	AV0
be	be	VBI
easier	easier	AJ0
.	.	PUN
</s>
<s>
Some	some	DT0
of	of	PRP
them	they	PNP
stay	stay	VVB
for	for	PRP
a	a	AT0
night	night	NN1
at	at	PRP
the	the	AT0
inn	inn	NN1
beside	beside	PRP
the	the	AT0
bridge	bridge	NN1
.	.	PUN
</s>
<s>
Others	other	PNP
buy	buy	VVB
bread	bread	NN1
,	,	PUN
fill	fill	VVB
their	they	DPS
bottles	bottle	NN2
at	at	PRP
the	the	AT0
fountain	fountain	NN1
and	and	CJC
walk	walk	VVB
on	on	PRP
towards	towards	PRP
the	the	AT0
sea	sea	NN1
.	.	PUN
</s>
</p>
<p>
<s>
In	in	PRP
the	the	AT0
evening	evening	NN1
the	the	AT0
fog	fog	NN1
returns	return	VVZ
.	.	PUN
</s>
<s>
The	the	AT0
boats	boat	NN2
come	come	VVB
back	back	AV0
one	one	CRD
by	by	PRP
one	one	CRD
,	,	PUN
the	the	AT0
lamps	lamp	NN2
are	be	VBB
lit	light	VVN
along	along	PRP
the	the	AT0
pier	pier	NN1
,	,	PUN
and	and	CJC
the	the	AT0
ferryman	ferryman	NN1
counts	count	VVZ
his	he	DPS
passengers	passenger	NN2
again	again	AV0
.	.	PUN
</s>
<s>
The	the	AT0
town	town	NN1
grows	grow	VVZ
quiet	quiet	AJ0
.	.	PUN
</s>
<s>
Only	only	AV0
the	the	AT0
river	river	NN1
keeps	keep	VVZ
talking	talk	VVG
,	,	PUN
as	as	PRP
it	it	PNP
has	have	VHZ
talked	talk	VVN
for	for	PRP
a	a	AT0
thousand	thousand	CRD
years	year	NN2
,	,	PUN
to	to	TO0
anyone	anyone	PNP
who	who	PNP
is	be	VBZ
willing	willing	AJ0
to	to	TO0
listen	listen	VVI
.	.	PUN
</s>
</p>
</doc>
<doc id="bakery" title="Bakery" year="2026">
<p>
<s>
Every	every	DT0
morning	morning	NN1
at	at	PRP
four	four	CRD
o'clock	o'clock	NN1
Marta	Marta	NP0
unlocks	unlock	VVZ
the	the	AT0
back	back	AV0
door	door	NN1
of	of	PRP
the	the	AT0
bakery	bakery	NN1
.	.	PUN
</s>
<s>
She	she	PNP
switches	switch	VVZ
on	on	PRP
the	the	AT0
ovens	oven	NN2
,	,	PUN
ties	tie	VVZ
her	she	DPS
apron	apron	NN1
and	and	CJC
takes	take	VVZ
the	the	AT0
dough	dough	NN1
out	out	PRP
of	of	PRP
the	the	AT0
cold	cold	AJ0
room	room	NN1
,	,	PUN
where	where	PNP
it	it	PNP
has	have	VHZ
been	be	VBN
resting	rest	VVG
since	since	PRP
the	the	AT0
evening	evening	NN1
before	before	PRP
.	.	PUN
</s>
<s>
The	the	AT0
dough	dough	NN1
is	be	VBZ
soft	soft	AJ0
and	and	CJC
heavy	heavy	AJ0
.	.	PUN
</s>
<s>
She	she	PNP
divides	divide	VVZ
it	it	PNP
into	into	PRP
loaves	loaf	NN2
,	,	PUN
shapes	shape	VVZ
each	each	DT0
loaf	loaf	NN1
with	with	PRP
quick	quick	AJ0
hands	hand	NN2
and	and	CJC
lays	lay	VVZ
it	it	PNP
on	on	PRP
a	a	AT0
floured	floured	AJ0
board	board	NN1
to	to	TO0
rise	rise	VVI
.	.	PUN
</s>
</p>
<p>
<s>
While	while	CJC
the	the	AT0
bread	bread	NN1
rises	rise	VVZ
she	she	PNP
prepares	prepare	VVZ
the	the	AT0
rolls	roll	NN2
.	.	PUN
</s>
<s>
There	there	PNP
are	be	VBB
plain	plain	AJ0
rolls	roll	NN2
and	and	CJC
rolls	roll	NN2
with	with	PRP
seeds	seed	NN2
,	,	PUN
sweet	sweet	AJ0
rolls	roll	NN2
with	with	PRP
raisins	raisin	NN2
and	and	CJC
salty	salty	AJ0
rolls	roll	NN2
with	with	PRP
cheese	cheese	NN1
.	.	PUN
</s>
<s>
Her	she	DPS
grandmother	grandmother	NN1
taught	teach	VVD
her	she	DPS
the	the	AT0
recipes	recipe	NN2
,	,	PUN
and	and	CJC
she	she	PNP
has	have	VHZ
changed	change	VVN
almost	almost	AV0
nothing	nothing	PNP
:	:	PUN
a	a	AT0
little	little	AV0
less	less	AV0
sugar	sugar	NN1
,	,	PUN
a	a	AT0
little	little	AV0
more	more	AV0
salt	salt	NN1
,	,	PUN
a	a	AT0
longer	longer	AJ0
rest	rest	NN1
for	for	PRP
the	the	AT0
dough	dough	NN1
.	.	PUN
</s>
<s>
Customers	customer	NN2
say	say	VVB
that	that	CJT
the	the	AT0
bread	bread	NN1
tastes	taste	VVZ
the	the	AT0
same	same	AJ0
as	as	PRP
it	it	PNP
did	do	VDD
fifty	fifty	CRD
years	year	NN2
ago	ago	NN1
,	,	PUN
and	and	CJC
Marta	Marta	NP0
takes	take	VVZ
this	this	DT0
as	as	PRP
the	the	AT0
highest	highest	AJ0
praise	praise	NN1
.	.	PUN
</s>
</p>
<p>
<s>
At	at	PRP
six	six	CRD
o'clock	o'clock	NN1
the	the	AT0
first	first	AV0
customers	customer	NN2
arrive	arrive	VVB
.	.	PUN
</s>
<s>
A	a	AT0
bus	bus	NN1
driver	driver	NN1
buys	buy	VVZ
two	two	CRD
rolls	roll	NN2
and	and	CJC
a	a	AT0
coffee	coffee	NN1
.	.	PUN
</s>
<s>
A	a	AT0
nurse	nurse	NN1
coming	come	VVG
home	home	NN1
from	from	PRP
the	the	AT0
night	night	NN1
shift	shift	NN1
buys	buy	VVZ
a	a	AT0
loaf	loaf	NN1
of	of	PRP
dark	dark	AJ0
bread	bread	NN1
.	.	PUN
</s>
<s>
A	a	AT0
student	student	NN1
counts	count	VVZ
his	he	DPS
coins	coin	NN2
on	on	PRP
the	the	AT0
counter	counter	NN1
and	and	CJC
asks	ask	VVZ
whether	whether	CJC
yesterday	yesterday	NN1
'	'	PUN
s	s	NN1
cakes	cake	NN2
are	be	VBB
cheaper	cheaper	AJ0
.	.	PUN
</s>
<s>
They	they	PNP
are	be	VBB
,	,	PUN
and	and	CJC
he	he	PNP
leaves	leave	VVZ
with	with	PRP
a	a	AT0
bag	bag	NN1
full	full	AJ0
of	of	PRP
them	they	PNP
.	.	PUN
</s>
<s>
By	by	PRP
eight	eight	CRD
o'clock	o'clock	NN1
the	the	AT0
shelves	shelf	NN2
are	be	VBB
half	half	AV0
empty	empty	AJ0
and	and	CJC
the	the	AT0
room	room	NN1
is	be	VBZ
loud	loud	AJ0
with	with	PRP
voices	voice	NN2
.	.	PUN
</s>
</p>
<p>
<s>
In	in	PRP
the	the	AT0
afternoon	afternoon	NN1
Marta	Marta	NP0
cleans	clean	VVZ
the	the	AT0
ovens	oven	NN2
,	,	PUN
writes	write	VVZ
her	she	DPS
orders	order	NN2
for	for	PRP
flour	flour	NN1
and	and	CJC
yeast	yeast	NN1
,	,	PUN
and	and	CJC
sits	sit	VVZ
for	for	PRP
a	a	AT0
while	while	CJC
by	by	PRP
the	the	AT0
window	window	NN1
.	.	PUN
</s>
<s>
She	she	PNP
watches	watch	VVZ
the	the	AT0
street	street	NN1
,	,	PUN
the	the	AT0
people	person	NN2
,	,	PUN
the	the	AT0
light	light	NN1
on	on	PRP
the	the	AT0
wall	wall	NN1
across	across	PRP
the	the	AT0
road	road	NN1
.	.	PUN
</s>
<s>
Then	then	CJC
she	she	PNP
goes	go	VVZ
home	home	NN1
,	,	PUN
sleeps	sleep	VVZ
early	early	AV0
,	,	PUN
and	and	CJC
the	the	AT0
next	next	AJ0
morning	morning	NN1
at	at	PRP
four	four	CRD
o'clock	o'clock	NN1
she	she	PNP
unlocks	unlock	VVZ
the	the	AT0
door	door	NN1
again	again	AV0
.	.	PUN
</s>
</p>
</doc>

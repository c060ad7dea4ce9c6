// The guests' page of the jukebox party. Everything the server sends that
// came from the music's tags or from other guests is shown as text, never
// as markup: a title may say anything.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const state = { party: null, me: null, received: 0, playing: null };
  const requested = new Map(); // track id -> what became of the request
  let socket = null;
  let retryMs = 1000;
  let pollTimer = 0;
  let searchTimer = 0;
  let searchSeq = 0;
  let artistsOffset = 0;
  let browsing = null;
  let stopped = false;
  let renaming = false;

  // --- small helpers -----------------------------------------------------------
  function el(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined && text !== null) node.textContent = String(text);
    return node;
  }

  function clock(ms) {
    const total = Math.max(0, Math.round(ms / 1000));
    const m = Math.floor(total / 60);
    const s = total % 60;
    return m + ':' + (s < 10 ? '0' : '') + s;
  }

  function coverUrl(id, size) {
    return '/api/cover?track=' + encodeURIComponent(id) + '&size=' + size;
  }

  function coverImage(id, size, className) {
    const img = el('img', className || 'cover');
    img.alt = '';
    img.loading = 'lazy';
    img.decoding = 'async';
    img.addEventListener('error', () => { img.style.visibility = 'hidden'; });
    img.src = coverUrl(id, size);
    return img;
  }

  let toastTimer = 0;
  function toast(text, good) {
    const box = $('toast');
    box.textContent = text;
    box.className = good ? 'good' : 'bad';
    box.hidden = false;
    clearTimeout(toastTimer);
    toastTimer = setTimeout(() => { box.hidden = true; }, 4000);
  }

  function gone(text) {
    stopped = true;
    if (socket) socket.close();
    clearInterval(pollTimer);
    $('gone-text').textContent = text;
    $('gone').hidden = false;
  }

  async function api(method, path, body) {
    const options = { method, credentials: 'same-origin', headers: {} };
    if (body !== undefined) {
      options.headers['Content-Type'] = 'application/json';
      options.body = JSON.stringify(body);
    }
    let response;
    try {
      response = await fetch(path, options);
    } catch (e) {
      return { status: 0, data: { message: 'The jukebox cannot be reached.' } };
    }
    let data = null;
    try { data = await response.json(); } catch (e) { data = {}; }
    if (response.status === 403 && data && (data.error === 'wrong-code' || data.error === 'code-needed'))
      gone(data.message || 'Scan the party\'s QR code again.');
    return { status: response.status, data: data || {} };
  }

  // --- the party's state ---------------------------------------------------------
  function render(next) {
    if (!next || typeof next !== 'object') return;
    state.party = next.party || null;
    state.me = next.me || null;
    state.playing = next.playing || null;
    state.received = Date.now();
    if (state.party && !state.party.open) {
      gone('The party is over: the host turned the guests\' requests off.');
      return;
    }
    renderMe();
    renderNow();
    renderVotes(next.votes);
    renderQueue(next.queue || [], next.queueLength || 0);
  }

  function renderMe() {
    const me = state.me;
    const chip = $('me');
    chip.hidden = !me;
    if (me) chip.textContent = me.name;
    $('name-screen').hidden = (!!me && !renaming) || stopped;
    const mine = $('mine');
    if (!me) { mine.textContent = ''; return; }
    let text = 'Your requests waiting: ' + me.waiting + ' of ' + me.limit + '.';
    if (me.pending && me.pending.length)
      text += ' Waiting for the host\'s approval: ' + me.pending.map((t) => t.title).join(', ') + '.';
    mine.textContent = text;
  }

  function renderNow() {
    const now = state.playing;
    $('now-title').textContent = now ? now.title : 'Nothing is playing';
    $('now-artist').textContent = now ? now.artist : '';
    $('now-album').textContent = now ? now.album : '';
    $('now-by').textContent = now && now.requestedBy ? 'Asked for by ' + now.requestedBy : '';
    $('now-label').textContent = now && now.state === 'paused' ? 'Paused' : 'Now playing';
    const cover = $('now-cover');
    if (now) {
      const url = coverUrl(now.id, 192);
      if (cover.dataset.id !== now.id) {
        cover.dataset.id = now.id;
        cover.hidden = false;
        cover.src = url;
      }
    } else {
      cover.hidden = true;
      cover.dataset.id = '';
    }
    tick();
  }

  function tick() {
    const now = state.playing;
    if (!now || !now.durationMs) {
      $('now-left').textContent = '';
      $('now-bar').style.width = '0';
      return;
    }
    let position = now.positionMs || 0;
    if (now.state === 'playing') position += Date.now() - state.received;
    position = Math.min(position, now.durationMs);
    $('now-left').textContent = clock(now.durationMs - position) + ' left';
    $('now-bar').style.width = (100 * position / now.durationMs).toFixed(1) + '%';
  }

  function renderVotes(votes) {
    const box = $('vote-box');
    box.hidden = !(votes && votes.open && state.me);
    if (box.hidden) return;
    const voted = !!(state.me && state.me.voted);
    const button = $('vote');
    button.classList.toggle('voted', voted);
    button.textContent = voted ? 'You voted to skip' : 'Vote to skip';
    button.disabled = voted;
    $('vote-count').textContent = votes.votes + ' of ' + votes.needed + ' votes';
  }

  function renderQueue(queue, length) {
    const list = $('queue');
    list.replaceChildren();
    const myNumber = state.me ? state.me.guest : -1;
    queue.forEach((track, index) => {
      const item = el('li', 'track' + (track.guest === myNumber ? ' mine' : ''));
      item.dataset.id = track.id;
      item.append(el('span', 'pos', index + 1), coverImage(track.id, 96));
      const text = el('div', 'text');
      text.append(el('div', 'name', track.title), el('div', 'sub', [track.artist, track.album].filter(Boolean).join(' · ')));
      const who = track.guest === myNumber ? 'Your request'
        : (track.requestedBy ? 'Asked for by ' + track.requestedBy : 'Queued by the host');
      text.append(el('div', 'who', who));
      item.append(text);
      list.append(item);
    });
    if (length > queue.length)
      list.append(el('li', 'muted', 'and ' + (length - queue.length) + ' more'));
    $('queue-empty').hidden = length > 0;
  }

  // --- live updates --------------------------------------------------------------
  function connect() {
    if (stopped) return;
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    try {
      socket = new WebSocket(scheme + location.host + '/api/live');
    } catch (e) {
      socket = null;
      startPolling();
      return;
    }
    socket.addEventListener('open', () => { retryMs = 1000; clearInterval(pollTimer); pollTimer = 0; });
    socket.addEventListener('message', (event) => {
      try { render(JSON.parse(event.data)); } catch (e) { /* a damaged message changes nothing */ }
    });
    socket.addEventListener('close', () => {
      socket = null;
      if (stopped) return;
      startPolling();
      setTimeout(connect, retryMs);
      retryMs = Math.min(Math.max(retryMs, 500) * 2, 30000);
    });
  }

  function startPolling() {
    if (pollTimer || stopped) return;
    pollTimer = setInterval(refresh, 5000);
  }

  async function refresh() {
    const reply = await api('GET', '/api/state');
    if (reply.status === 200) render(reply.data);
  }

  // --- asking for a track ------------------------------------------------------------
  function trackItem(track) {
    const item = el('li', 'track');
    item.dataset.id = track.id;
    item.append(coverImage(track.id, 96));
    const text = el('div', 'text');
    text.append(el('div', 'name', track.title));
    text.append(el('div', 'sub', [track.artist, track.album].filter(Boolean).join(' · ')));
    const reason = el('div', 'reason');
    text.append(reason);
    const button = el('button', 'req', 'Request');
    button.type = 'button';
    const earlier = requested.get(track.id);
    if (earlier) {
      reason.textContent = earlier.message;
      reason.classList.toggle('ok', earlier.ok);
      if (earlier.ok) { button.disabled = true; button.textContent = earlier.label; }
    }
    button.addEventListener('click', () => request(track, button, reason));
    item.append(text, button);
    return item;
  }

  async function request(track, button, reason) {
    if (!state.me) { $('name-screen').hidden = false; return; }
    button.disabled = true;
    const reply = await api('POST', '/api/request', { track: track.id });
    const data = reply.data;
    const ok = reply.status === 200 || reply.status === 202;
    const message = data.message || (ok ? 'Asked for.' : 'That did not work.');
    const label = reply.status === 202 ? 'Waiting' : 'Queued';
    requested.set(track.id, { ok, message, label });
    reason.textContent = message;
    reason.classList.toggle('ok', ok);
    if (ok) {
      button.textContent = label;
      refresh();
    } else {
      button.disabled = false;
    }
    toast(message, ok);
  }

  // --- search ------------------------------------------------------------------------------
  function searchSoon() {
    clearTimeout(searchTimer);
    $('results').setAttribute('aria-busy', 'true');
    searchTimer = setTimeout(search, 150);
  }

  async function search() {
    const query = $('search').value.trim();
    const seq = ++searchSeq;
    const results = $('results');
    if (!query) {
      results.replaceChildren();
      results.setAttribute('aria-busy', 'false');
      $('search-note').textContent = '';
      return;
    }
    const reply = await api('GET', '/api/search?q=' + encodeURIComponent(query) + '&limit=40');
    if (seq !== searchSeq) return; // a later search is under way
    results.replaceChildren();
    results.setAttribute('aria-busy', 'false');
    if (reply.status !== 200) {
      $('search-note').textContent = reply.data.message || 'The search did not work.';
      return;
    }
    const tracks = reply.data.tracks || [];
    $('search-note').textContent = tracks.length ? '' : 'Nothing found for that.';
    tracks.forEach((track) => results.append(trackItem(track)));
  }

  // --- browsing ----------------------------------------------------------------------------
  function crumbs(parts) {
    const bar = $('crumbs');
    bar.replaceChildren();
    parts.forEach((part) => {
      const button = el('button', '', part.label);
      button.type = 'button';
      button.addEventListener('click', part.go);
      bar.append(button);
    });
  }

  function listButton(label, count, onClick, coverId) {
    const item = el('li');
    const button = el('button');
    button.type = 'button';
    if (coverId) button.append(coverImage(coverId, 96));
    button.append(el('span', 'name', label), el('span', 'count', count));
    button.addEventListener('click', onClick);
    item.append(button);
    return item;
  }

  async function showArtists(more) {
    browsing = 'artists';
    if (!more) { artistsOffset = 0; $('browse').replaceChildren(); }
    crumbs([{ label: 'All artists', go: () => showArtists(false) }]);
    const reply = await api('GET', '/api/artists?offset=' + artistsOffset + '&count=200');
    if (browsing !== 'artists' || reply.status !== 200) return;
    const list = $('browse');
    reply.data.artists.forEach((artist) => {
      list.append(listButton(artist.name || 'Unknown artist', artist.albums + (artist.albums === 1 ? ' album' : ' albums'),
        () => showAlbums(artist)));
    });
    artistsOffset += reply.data.artists.length;
    $('more').hidden = artistsOffset >= reply.data.total;
  }

  async function showAlbums(artist) {
    browsing = 'albums';
    $('more').hidden = true;
    crumbs([{ label: 'All artists', go: () => showArtists(false) }, { label: artist.name, go: () => showAlbums(artist) }]);
    const reply = await api('GET', '/api/albums?artist=' + encodeURIComponent(artist.id));
    if (browsing !== 'albums' || reply.status !== 200) return;
    const list = $('browse');
    list.replaceChildren();
    reply.data.albums.forEach((album) => {
      list.append(listButton(album.name || 'Unknown album', album.tracks + (album.tracks === 1 ? ' track' : ' tracks'),
        () => showTracks(artist, album), album.cover));
    });
    window.scrollTo(0, 0);
  }

  async function showTracks(artist, album) {
    browsing = 'tracks';
    $('more').hidden = true;
    crumbs([{ label: 'All artists', go: () => showArtists(false) }, { label: artist.name, go: () => showAlbums(artist) },
      { label: album.name, go: () => showTracks(artist, album) }]);
    const reply = await api('GET', '/api/tracks?album=' + encodeURIComponent(album.id));
    if (browsing !== 'tracks' || reply.status !== 200) return;
    const list = $('browse');
    list.replaceChildren();
    reply.data.tracks.forEach((track) => list.append(trackItem(track)));
    window.scrollTo(0, 0);
  }

  // --- tabs, name, vote ---------------------------------------------------------------------
  function showTab(name) {
    document.querySelectorAll('#tabs button').forEach((button) => button.classList.toggle('on', button.dataset.tab === name));
    ['queue', 'search', 'browse'].forEach((tab) => { $('tab-' + tab).hidden = tab !== name; });
    if (name === 'search') $('search').focus();
    if (name === 'browse' && !browsing) showArtists(false);
  }

  async function join(event) {
    event.preventDefault();
    const name = $('name').value.trim();
    if (!name) return;
    $('join').disabled = true;
    const reply = await api('POST', '/api/join', { name });
    $('join').disabled = false;
    if (reply.status !== 200) {
      $('name-error').textContent = reply.data.message || 'That did not work.';
      return;
    }
    $('name-error').textContent = '';
    renaming = false;
    render(reply.data);
    // The live page learns who this is: it opens anew, at once, with the
    // new cookie.
    retryMs = 0;
    if (socket) socket.close();
  }

  async function vote() {
    const reply = await api('POST', '/api/vote', {});
    if (reply.status === 200) {
      toast(reply.data.skipped ? 'Skipped by the guests\' vote.' : 'Your vote counts: ' + reply.data.votes + ' of ' + reply.data.needed + '.', true);
      refresh();
    } else {
      toast(reply.data.message || 'The vote did not work.', false);
    }
  }

  document.querySelectorAll('#tabs button').forEach((button) => button.addEventListener('click', () => showTab(button.dataset.tab)));
  $('search').addEventListener('input', searchSoon);
  $('name-form').addEventListener('submit', join);
  $('me').addEventListener('click', () => {
    $('name').value = state.me ? state.me.name : '';
    renaming = true;
    $('name-screen').hidden = false;
  });
  $('vote').addEventListener('click', vote);
  $('now-cover').addEventListener('error', () => { $('now-cover').hidden = true; });
  $('more').addEventListener('click', () => showArtists(true));
  setInterval(tick, 1000);

  refresh().then(connect);
})();
